// SPDX-License-Identifier: MIT
// The page: a panel per program whose fields are its options. Each edit
// makes the program's command line, runs the program (erlangb.js, the
// programs compiled to WebAssembly, in a worker so that the page stays
// responsive) and shows what it wrote: its text as a table, its CSV as a
// download, a chart from further runs, or its message. The fragment is the
// command line: "#erlangc?calls=100&holding=180".
// Nothing here computes a figure; every number comes from a run.
'use strict';

// Each program's options as fields: the long option's name, a label, a
// hint, and for a flag `flag`, for a choice `choices`.
const PANELS = [
  {
    program: 'erlangb-table', title: 'Erlang B',
    about: 'Give two of circuits, load and blocking: the answer is the third. ' +
      'Lists take commas and ranges: 1..50, 0.1%..1%..0.1%.',
    fields: [
      {name: 'circuits', label: 'Circuits', hint: 'e.g. 10 or 1..50'},
      {name: 'load', label: 'Offered load, erlangs', hint: 'e.g. 10'},
      {name: 'calls', label: 'or calls per interval', hint: 'with holding time'},
      {name: 'holding', label: 'Holding time, s', hint: 'e.g. 180'},
      {name: 'interval', label: 'Interval, s', hint: '3600 unless given'},
      {name: 'blocking', label: 'Blocking', hint: '0.01 or 1%'},
      {name: 'fractional', label: 'Real circuits', flag: true},
      {name: 'sources', label: 'Sources (Engset)', hint: 'e.g. 30: the load is their total'},
      {name: 'per-source', label: 'or the most sources, each offering', hint: 'e.g. 0.1 erlang'},
      {name: 'recall', label: 'Blocked calls retried', hint: 'e.g. 60%: the load is fresh calls'},
      {name: 'held', label: 'Blocked calls held (Poisson)', flag: true},
    ],
  },
  {
    program: 'erlangb-overflow', title: 'Overflow',
    about: 'The final group of alternate routing, offered the peaked traffic ' +
      'that first-choice groups turn away.',
    fields: [
      {name: 'group', label: 'First-choice groups N:A', hint: 'e.g. 10:8,20:25'},
      {name: 'poisson', label: 'Poisson traffic beside it, erlangs', hint: 'optional'},
      {name: 'mean', label: 'or the mean, erlangs', hint: 'as measured'},
      {name: 'variance', label: 'its variance', hint: 'or the peakedness'},
      {name: 'peakedness', label: 'its peakedness', hint: 'variance / mean'},
      {name: 'circuits', label: 'Final-group circuits', hint: 'e.g. 5,10,15'},
      {name: 'blocking', label: 'or blocking targets', hint: '0.01 or 1%'},
      {name: 'method', label: 'Method', choices: ['', 'equivalent-random', 'rapp', 'hayward']},
      {name: 'fractional', label: 'Real circuits', flag: true},
    ],
  },
  {
    program: 'erlangc', title: 'Erlang C, A and X',
    about: 'Calls that wait for agents: the figures of given agents, the agents ' +
      'targets need, or the load agents carry. A patience makes it Erlang A; ' +
      'lines, redials or another definition Erlang X.',
    fields: [
      {name: 'load', label: 'Offered load, erlangs', hint: 'e.g. 10'},
      {name: 'calls', label: 'or calls per interval', hint: 'with holding time'},
      {name: 'holding', label: 'Handling time, s', hint: 'e.g. 180'},
      {name: 'interval', label: 'Interval, s', hint: '3600 unless given'},
      {name: 'agents', label: 'Agents', hint: 'e.g. 12..16'},
      {name: 'service-level', label: 'Service level target', hint: 'e.g. 80%'},
      {name: 'answer-time', label: 'within, s', hint: 'e.g. 20'},
      {name: 'asa', label: 'Mean wait target, s', hint: 'optional'},
      {name: 'wait-probability', label: 'Wait probability target', hint: 'optional'},
      {name: 'max-occupancy', label: 'Occupancy at most', hint: 'optional'},
      {name: 'patience', label: 'Callers\u2019 patience, s', hint: 'Erlang A'},
      {name: 'max-abandoned', label: 'Abandoned at most', hint: 'with patience'},
      {name: 'lines', label: 'Lines, answered and waiting', hint: 'Erlang X: the rest are blocked'},
      {name: 'max-blocked', label: 'Blocked at most', hint: 'with lines'},
      {name: 'redial', label: 'Blocked and abandoned calls redialled', hint: 'e.g. 30%: the load is fresh calls'},
      {name: 'service-level-of', label: 'Service level of', choices: ['', 'offered', 'answered', 'virtual']},
      {name: 'mean-wait-of', label: 'Mean wait of', choices: ['', 'answered', 'all', 'virtual']},
      {name: 'abandoned', label: 'Patience at which this share abandons', hint: 'with agents and a load'},
      {name: 'shrinkage', label: 'Shrinkage', hint: 'e.g. 30%'},
      {name: 'fractional', label: 'Real agents', flag: true},
    ],
  },
];

const FIRST = '#erlangb-table?load=10&blocking=1%25';
// A table shows its first rows; the CSV link holds them all, and a chart
// draws at most a thousand points a curve.
const SHOWN_ROWS = 2000;
const HEAD_BYTES = 1 << 19;
const CURVE_POINTS = 1000;
const CURVES = 20;

// ---- The programs, run in a worker

// The worker's own code: it loads the programs and answers requests
// {id, program, args, csv}: for the text, a message with its first lines
// as soon as they are written ({id, head}), then the run's end ({id,
// status, err, head, lines, marked}); for the CSV, the run's end with the
// whole CSV as a Blob and its columns as arrays of numbers. It runs in the
// worker's scope, so it uses nothing of the page's.
function workerMain() {
  // The CSV's columns: {names, columns (Float64Array each), length}; an
  // empty field is NaN.
  const columnsOf = (csv) => {
    const lines = csv.split('\n');
    while (lines.length && lines[lines.length - 1] === '') lines.pop();
    const names = lines.length ? lines[0].split(',') : [];
    const length = Math.max(0, lines.length - 1);
    const columns = names.map(() => new Float64Array(length));
    for (let i = 0; i < length; ++i) {
      const values = lines[i + 1].split(',');
      for (let k = 0; k < columns.length; ++k) {
        columns[k][i] = values[k] === '' || values[k] === undefined ? NaN : Number(values[k]);
      }
    }
    return {names, columns, length};
  };
  let programs = null;
  const waiting = [];
  const answer = ({id, program, args, csv, keep}) => {
    if (!csv) {
      const r = programs.run(program, args, keep, (head) => postMessage({id, head}));
      postMessage({id, status: r.status, err: r.err, head: r.out, lines: r.lines,
        marked: r.marked});
      return;
    }
    const r = programs.run(program, args.concat(['--csv']), -1, null);
    if (r.status !== 0) {
      postMessage({id, status: r.status, err: r.err});
      return;
    }
    const data = columnsOf(r.out);
    postMessage({id, status: 0, err: r.err, blob: new Blob([r.out], {type: 'text/csv'}), data},
      data.columns.map((c) => c.buffer));
  };
  onmessage = (e) => programs ? answer(e.data) : waiting.push(e.data);
  ErlangbPrograms().then((module) => {
    programs = module;
    postMessage({ready: true});
    waiting.splice(0).forEach(answer);
  });
}

// The worker, its requests in flight (id: handler) and the next id.
let worker = null;
const inFlight = new Map();
let nextId = 0;
const CANCELLED = new Error('cancelled');

// Starts a worker. Its script is the programs' (erlangb.js, whose factory
// this page loaded) and workerMain, made into a Blob: a page opened from
// disk may start no worker from a file.
function startWorker() {
  const source = 'var _scriptDir;\nvar ErlangbPrograms = ' + ErlangbPrograms.toString() +
    ';\n(' + workerMain.toString() + ')();\n';
  const url = URL.createObjectURL(new Blob([source], {type: 'text/javascript'}));
  worker = new Worker(url);
  URL.revokeObjectURL(url);
  worker.onmessage = (e) => {
    if (e.data.ready) {
      document.body.dataset.ready = 'true';
      return;
    }
    const handler = inFlight.get(e.data.id);
    if (handler) handler(e.data);
  };
}

// Ends the runs in flight, which a newer input makes stale: their worker
// is stopped (a run cannot be interrupted) and a new one started.
function cancelRuns() {
  if (inFlight.size === 0) return;
  worker.terminate();
  for (const handler of inFlight.values()) handler(null);
  inFlight.clear();
  startWorker();
}

// Runs a program in the worker: a promise of its end, rejected with
// CANCELLED where cancelRuns ends it; `early` gets the first lines of a
// long text output.
function request(program, args, csv, early = null) {
  return new Promise((resolve, reject) => {
    const id = nextId++;
    inFlight.set(id, (message) => {
      if (message === null) return reject(CANCELLED);
      if ('head' in message && !('status' in message)) {
        if (early) early(message.head);
        return;
      }
      inFlight.delete(id);
      resolve(message);
    });
    worker.postMessage({id, program, args, csv, keep: HEAD_BYTES});
  });
}

// ---- Command lines and fragments

// The fragment's program and its name=value pairs, in order, decoded as
// URI components ("+" is a plus: a fragment is not form-encoded); or
// `damaged`, the part that does not decode.
function parseFragment(hash) {
  const text = hash.replace(/^#/, '');
  const at = text.indexOf('?');
  const parts = at < 0 ? [] : text.slice(at + 1).split('&').filter((p) => p !== '');
  const pairs = [];
  for (const part of [at < 0 ? text : text.slice(0, at)].concat(parts)) {
    try {
      const eq = part.indexOf('=');
      pairs.push(eq < 0 ? [decodeURIComponent(part), null]
        : [decodeURIComponent(part.slice(0, eq)), decodeURIComponent(part.slice(eq + 1))]);
    } catch (e) {
      if (!(e instanceof URIError)) throw e;
      return {program: null, pairs: [], damaged: part};
    }
  }
  return {program: pairs[0][0], pairs: pairs.slice(1), damaged: null};
}

// The fragment of a program's pairs.
function fragmentOf(program, pairs) {
  const encode = (s) => encodeURIComponent(s);
  return '#' + program + (pairs.length ? '?' : '') +
    pairs.map(([n, v]) => v === null ? encode(n) : encode(n) + '=' + encode(v)).join('&');
}

// What is wrong with a fragment for the page, or null: a damaged link, an
// unknown program, or a name that is none of its panel's fields (an
// abbreviation, or an option that has no place on a page: help, version,
// csv, totals, file).
function problemOf({program, pairs, damaged}) {
  if (damaged !== null) {
    return `The link is damaged: '${damaged}' is not valid percent-encoding ` +
      '(was it cut short?)';
  }
  const panel = PANELS.find((p) => p.program === program);
  if (!panel) {
    return `The link names no program of this page: '${program}' ` +
      `(the programs are ${PANELS.map((p) => p.program).join(', ')})`;
  }
  const names = panel.fields.map((f) => f.name);
  const unknown = pairs.map(([n]) => n).filter((n) => !names.includes(n));
  if (unknown.length) {
    return `The link names ${unknown.map((n) => `'${n}'`).join(', ')}, which ` +
      `${unknown.length > 1 ? 'are' : 'is'} no field of ${program} (its fields are ` +
      `${names.join(', ')})`;
  }
  return null;
}

// A panel's pairs from its fields, in the fields' order.
function pairsOf(panel) {
  const pairs = [];
  for (const f of panel.fields) {
    const input = document.getElementById(panel.program + '-' + f.name);
    if (f.flag) {
      if (input.checked) pairs.push([f.name, null]);
    } else if (input.value !== '') {
      pairs.push([f.name, input.value]);
    }
  }
  return pairs;
}

// The command line's arguments: --name=value, or --name for a flag.
function argsOf(pairs) {
  return pairs.map(([n, v]) => v === null ? '--' + n : '--' + n + '=' + v);
}

// ---- Output

const escapeHtml = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');

// The text output as a table: its "#" lines above the last before the
// rows as the caption, that last as the headings (separated by two spaces
// or more), each row's fields as cells, the first SHOWN_ROWS of them, and
// a line saying how many there are of `rows` (null: not yet known). Built
// as one text: a table of the ITU-T layout has 6,000 cells. Output with no
// "#" line is shown as it is.
function tableOf(text, rows) {
  const lines = text.split('\n').filter((l) => l !== '');
  const marked = lines.filter((l) => l.startsWith('#'));
  if (!marked.length) {
    const pre = document.createElement('pre');
    pre.id = 'answer';
    pre.textContent = text;
    return [pre];
  }
  const body = lines.filter((l) => !l.startsWith('#'));
  const captionLines = body.length ? marked.slice(0, -1) : marked;
  let html = '<caption>' + captionLines.map((l) => escapeHtml(l.replace(/^# ?/, ''))).join('<br>') +
    '</caption>';
  if (body.length) {
    const headings = marked[marked.length - 1].replace(/^#/, '').trim().split(/\s{2,}/);
    html += '<thead><tr>' + headings.map((h) => '<th scope="col">' + escapeHtml(h) + '</th>')
      .join('') + '</tr></thead><tbody>';
    for (const r of body.slice(0, SHOWN_ROWS)) {
      html += '<tr><td>' + r.trim().split(/\s+/).map(escapeHtml).join('</td><td>') + '</td></tr>';
    }
    html += '</tbody>';
  }
  const table = document.createElement('table');
  table.id = 'answer';
  table.innerHTML = html;
  const shown = Math.min(body.length, SHOWN_ROWS);
  if (rows !== null && rows <= shown) return [table];
  const more = document.createElement('p');
  more.className = 'more';
  more.textContent = rows === null
    ? `The first ${shown.toLocaleString('en')} rows; the rest are being computed.`
    : `The first ${shown.toLocaleString('en')} of ${rows.toLocaleString('en')} rows; ` +
      'the CSV holds them all.';
  return [more, table];
}

// Row i of CSV columns as an object of numbers by heading.
function recordOf(data, i) {
  const record = {};
  data.names.forEach((n, k) => { record[n] = data.columns[k][i]; });
  return record;
}

// The indices of at most about `limit` of `n` points, evenly spread, the
// first and the last among them.
function sampled(n, limit) {
  const step = Math.max(1, Math.ceil(n / limit));
  const indices = [];
  for (let i = 0; i < n; i += step) indices.push(i);
  if (n > 0 && indices[indices.length - 1] !== n - 1) indices.push(n - 1);
  return indices;
}

// ---- Charts, as SVG, from further runs of the same program

const SVG = 'http://www.w3.org/2000/svg';

function svgElement(name, attributes, parent) {
  const e = document.createElementNS(SVG, name);
  for (const [k, v] of Object.entries(attributes)) e.setAttribute(k, v);
  if (parent) parent.appendChild(e);
  return e;
}

// The least and the largest of `values`, without spreading them into a
// call's arguments (a large array would overflow the stack).
function extent(values) {
  let [low, high] = [Infinity, -Infinity];
  for (const v of values) {
    if (v < low) low = v;
    if (v > high) high = v;
  }
  return [low, high];
}

// A chart of `series` ({name, points: [[x, y]...]}) with optional target
// line and answer marks; y on a log scale where `log`.
function chartOf(title, xName, yName, series, {log = false, target = null, marks = []} = {}) {
  const width = 640;
  const height = 300;
  const pad = {left: 64, right: 16, top: 28, bottom: 40};
  const drawn = ([x, y]) => isFinite(x) && isFinite(y) && (!log || y > 0);
  const all = [];
  for (const p of series.flatMap((s) => s.points).concat(marks)) if (drawn(p)) all.push(p);
  if (all.length === 0) return null;
  const ty = (y) => log ? Math.log10(y) : y;
  let [x0, x1] = extent(all.map((p) => p[0]));
  const ys = all.map((p) => ty(p[1]));
  if (target !== null && (!log || target > 0)) ys.push(ty(target));
  let [y0, y1] = extent(ys);
  if (x0 === x1) [x0, x1] = [x0 - 1, x1 + 1];
  if (y0 === y1) [y0, y1] = [y0 - 1, y1 + 1];
  const X = (x) => pad.left + (x - x0) / (x1 - x0) * (width - pad.left - pad.right);
  const Y = (y) => height - pad.bottom - (ty(y) - y0) / (y1 - y0) * (height - pad.top - pad.bottom);
  const svg = svgElement('svg', {viewBox: `0 0 ${width} ${height}`, role: 'img', class: 'chart'});
  svgElement('title', {}, svg).textContent = title;
  svgElement('line', {x1: pad.left, y1: height - pad.bottom, x2: width - pad.right,
    y2: height - pad.bottom, class: 'axis'}, svg);
  svgElement('line', {x1: pad.left, y1: pad.top, x2: pad.left, y2: height - pad.bottom,
    class: 'axis'}, svg);
  const label = (x, y, text, anchor) => {
    const t = svgElement('text', {x, y, 'text-anchor': anchor, class: 'label'}, svg);
    t.textContent = text;
  };
  label(X(x0), height - pad.bottom + 16, String(+x0.toPrecision(4)), 'start');
  label(X(x1), height - pad.bottom + 16, String(+x1.toPrecision(4)), 'end');
  label((pad.left + width - pad.right) / 2, height - 6, xName, 'middle');
  const yText = (v) => log ? '1e' + Math.round(v) : String(+v.toPrecision(3));
  label(pad.left - 6, Y(log ? 10 ** y0 : y0) + 4, yText(y0), 'end');
  label(pad.left - 6, Y(log ? 10 ** y1 : y1) + 4, yText(y1), 'end');
  label(pad.left, pad.top - 10, yName + (log ? ' (log scale)' : ''), 'start');
  if (target !== null && (!log || target > 0)) {
    svgElement('line', {x1: pad.left, y1: Y(target), x2: width - pad.right, y2: Y(target),
      class: 'target', 'data-y': target}, svg);
  }
  series.forEach((s, k) => {
    const points = s.points.filter(drawn);
    if (!points.length) return;
    svgElement('polyline', {points: points.map(([x, y]) => `${X(x)},${Y(y)}`).join(' '),
      class: 'series s' + (k % 6)}, svg);
    const t = svgElement('text', {x: X(points[points.length - 1][0]) - 4,
      y: Y(points[points.length - 1][1]) - 6, 'text-anchor': 'end', class: 'label s' + (k % 6)}, svg);
    t.textContent = s.name;
  });
  for (const [x, y] of marks) {
    if (!drawn([x, y])) continue;
    svgElement('circle', {cx: X(x), cy: Y(y), r: 5, class: 'mark', 'data-x': x, 'data-y': y}, svg);
  }
  return svg;
}

// The largest of a list's values as the fields hold it, or NaN.
function single(pairs, name) {
  const v = pairs.find(([n]) => n === name);
  return v && /^[0-9.eE+-]+%?$/.test(v[1]) ? v[1] : null;
}

// Runs `program` on `args` for a curve and gives its CSV's columns (none
// where it fails).
async function curve(program, args) {
  const r = await request(program, args, true);
  return r.status === 0 ? r.data : {names: [], columns: [], length: 0};
}

// Points of columns `x` and `y` of CSV columns, at most CURVE_POINTS.
function pointsOf(data, x, y) {
  const [xs, ys] = [data.columns[data.names.indexOf(x)], data.columns[data.names.indexOf(y)]];
  if (!xs || !ys) return [];
  return sampled(data.length, CURVE_POINTS).map((i) => [xs[i], ys[i]]);
}

// The span of circuits or agents a chart shows around n, at most `most`.
function span(n, most = Infinity) {
  const top = Math.min(most, Math.max(Math.ceil(n * 1.6), Math.ceil(n) + 8));
  const bottom = Math.max(1, Math.floor(n / 2));
  const step = Math.max(1, Math.ceil((top - bottom) / 120));
  return `${bottom}..${top}..${step}`;
}

// The chart beside an answer, from the answer's CSV columns.
async function chartFor(panel, pairs, data) {
  const program = panel.program;
  const keep = (names) => argsOf(pairs.filter(([n]) => names.includes(n)));
  const r = data.length === 1 ? recordOf(data, 0) : null;
  if (program === 'erlangb-table') {
    if (!r) return matrixChart(data);
    if (!isFinite(r.circuits)) return null;
    // The model's curve: Engset's at the answer's sources, or the retries' or held calls'.
    const model = isFinite(r.sources) ? [`--sources=${r.sources}`] : keep(['recall', 'held']);
    const points = pointsOf(await curve(program, [`--circuits=${span(r.circuits)}`,
      `--load=${r.load}`].concat(model)), 'circuits', 'blocking');
    const asked = single(pairs, 'blocking') !== null;
    return chartOf(`Blocking against circuits at ${r.load} erlangs`, 'circuits', 'blocking',
      [{name: 'blocking', points}], {log: true, target: asked ? r.blocking : null,
        marks: [[r.circuits, r.blocking]]});
  }
  if (program === 'erlangb-overflow') {
    if (r && 'blocking' in r) {
      const points = pointsOf(await curve(program, keep(['group', 'poisson', 'mean', 'variance',
        'peakedness', 'method']).concat([`--circuits=${span(Math.max(r.circuits, 1))}`])),
      'circuits', 'blocking');
      return chartOf('Blocking of the final group against its circuits', 'circuits', 'blocking',
        [{name: 'blocking', points}], {log: true,
          target: single(pairs, 'blocking') !== null ? r.blocking : null,
          marks: [[r.circuits, r.blocking]]});
    }
    return r ? null : tableChart(data);
  }
  // erlangc: the figures against agents around the answer (up to the lines),
  // at its load; for the patience question, at the patience found.
  if (!r) return tableChart(data);
  const lines = single(pairs, 'lines');
  const found = isFinite(r.patience) && single(pairs, 'holding') !== null ?
    [`--patience=${r.patience}`] : [];
  const rows = await curve(program, keep(['holding', 'answer-time', 'patience', 'lines', 'redial',
    'service-level-of', 'mean-wait-of']).concat(found,
    [`--load=${r.load}`, `--agents=${span(r.agents, lines === null ? Infinity : Number(lines))}`]));
  const series = [];
  const add = (name, key) => {
    const k = rows.names.indexOf(key);
    if (rows.length && k >= 0 && isFinite(rows.columns[k][0])) {
      series.push({name, points: pointsOf(rows, 'agents', key)});
    }
  };
  add('service level', 'service_level');
  add('wait probability', 'wait_probability');
  add('abandoned', 'abandoned');
  add('blocked', 'blocked');
  const level = single(pairs, 'service-level');
  const target = level === null ? null : Number(level.replace('%', '')) / (level.endsWith('%') ? 100 : 1);
  return chartOf(`Figures against agents at ${r.load} erlangs`, 'agents', 'share of calls',
    series, {target, marks: [[r.agents, isFinite(r.service_level) ? r.service_level : r.wait_probability]]});
}

// erlangb-table's table, whose CSV has a line per cell (row, column,
// answer): a curve for each column against the rows (at most CURVES of
// them, evenly spread, each of at most CURVE_POINTS points), or, for a
// single row, the answers against the columns.
function matrixChart(data) {
  const [xs, cs, ys] = data.columns;
  const [x, column, y] = data.names;
  const members = new Map();  // column value: the indices of its cells
  for (let i = 0; i < data.length; ++i) {
    if (!members.has(cs[i])) members.set(cs[i], []);
    members.get(cs[i]).push(i);
  }
  let positive = true;
  for (let i = 0; i < data.length && positive; ++i) positive = ys[i] > 0;
  if (members.size === data.length) {
    return chartOf(`${y} against ${column}`, column, y,
      [{name: y, points: pointsOf(data, column, y)}], {log: positive});
  }
  const columns = [...members.keys()];
  const series = sampled(columns.length, CURVES).map((k) => {
    const cells = members.get(columns[k]);
    return {name: String(columns[k]),
      points: sampled(cells.length, CURVE_POINTS).map((j) => [xs[cells[j]], ys[cells[j]]])};
  });
  return chartOf(`${y} against ${x}, a curve for each ${column}`, x, y, series, {log: positive});
}

// A table's columns as curves against its first column.
function tableChart(data) {
  if (data.length < 2) return null;
  const [x, ...ys] = data.names;
  const series = ys.filter((n) => data.columns[data.names.indexOf(n)].every((v) => isFinite(v)))
    .map((n) => ({name: n, points: pointsOf(data, x, n)}));
  const positive = series.every((s) => s.points.every(([, y]) => y > 0));
  return chartOf(`The answer's columns against ${x}`, x, 'value', series, {log: positive});
}

// ---- The panels

// An edit is one step of the history: its first keystroke adds an entry,
// the others change it, until the field is left.
let editing = false;

// Shows a panel's answer for its fields, or the program's message, and
// makes the fragment its command line.
function update(panel) {
  const pairs = pairsOf(panel);
  const fragment = fragmentOf(panel.program, pairs);
  if (location.hash !== fragment) {
    history[editing ? 'replaceState' : 'pushState'](null, '', fragment);
    editing = true;
  }
  restored = location.hash;
  show(panel, pairs, null);
}

// The newest answer asked for: an older one still on its way is dropped.
let generation = 0;

// Shows in `panel` the alert `problem`, or the answer to `pairs`: the
// program's message, or its text as a table (its first lines as soon as
// they come), then the CSV link and the chart. A newer call cancels the
// runs of an older one. Marks the page shown() when done.
async function show(panel, pairs, problem) {
  const now = ++generation;
  cancelRuns();
  const section = document.getElementById(panel.program);
  const out = section.querySelector('.answer');
  const alert = section.querySelector('[role="alert"]');
  const csvLink = section.querySelector('.csv');
  out.replaceChildren();
  alert.textContent = '';
  alert.hidden = true;
  csvLink.hidden = true;
  if (csvLink.href) URL.revokeObjectURL(csvLink.href);
  csvLink.removeAttribute('href');
  for (const input of section.querySelectorAll('input, select')) {
    input.removeAttribute('aria-invalid');
  }
  const refuse = (message) => {
    alert.textContent = message;
    alert.hidden = false;
    for (const f of panel.fields) {
      if (message.includes('--' + f.name + ' ') || message.includes('--' + f.name + "'") ||
          message.startsWith('--' + f.name) || message.includes(`'${f.name}'`)) {
        document.getElementById(panel.program + '-' + f.name).setAttribute('aria-invalid', 'true');
      }
    }
  };
  document.body.dataset.running = 'true';
  try {
    if (problem !== null) {
      refuse(problem);
    } else {
      const args = argsOf(pairs);
      const text = await request(panel.program, args, false, (head) => {
        if (now === generation) out.replaceChildren(...tableOf(head, null));
      });
      if (now !== generation) return;
      if (text.status !== 0) {
        refuse(text.err.split('\n')[0].replace(/^[^:]*: /, ''));
      } else {
        out.replaceChildren(...tableOf(text.head, text.lines - text.marked));
        const csv = await request(panel.program, args, true);
        if (now !== generation) return;
        csvLink.href = URL.createObjectURL(csv.blob);
        csvLink.hidden = false;
        const chart = csv.data.length ? await chartFor(panel, pairs, csv.data) : null;
        if (now !== generation) return;
        if (chart) out.appendChild(chart);
      }
    }
  } catch (e) {
    if (e === CANCELLED) return;
    throw e;
  }
  delete document.body.dataset.running;
  shown();
}

// Marks the page as showing the answer to the fragment, for those who wait
// for it (the tests), counts the answers, and notes when the first came.
function shown() {
  document.body.dataset.shown = location.hash;
  document.body.dataset.shownAt = String(performance.now());
  document.body.dataset.answers = String(Number(document.body.dataset.answers || 0) + 1);
  if (!('firstAnswer' in document.body.dataset)) {
    document.body.dataset.firstAnswer = String(Math.round(performance.now()));
  }
}

// Builds the tabs and panels.
function build() {
  const tabs = document.getElementById('tabs');
  const main = document.getElementById('panels');
  for (const panel of PANELS) {
    const tab = document.createElement('button');
    tab.type = 'button';
    tab.role = 'tab';
    tab.id = 'tab-' + panel.program;
    tab.setAttribute('aria-controls', panel.program);
    tab.textContent = panel.title;
    tab.addEventListener('click', () => {
      open(panel.program);
      editing = false;
      update(panel);
    });
    tabs.appendChild(tab);

    const section = document.createElement('section');
    section.id = panel.program;
    section.setAttribute('role', 'tabpanel');
    section.setAttribute('aria-labelledby', tab.id);
    const h2 = document.createElement('h2');
    h2.textContent = panel.program;
    const about = document.createElement('p');
    about.textContent = panel.about;
    const form = document.createElement('form');
    form.addEventListener('submit', (e) => e.preventDefault());
    for (const f of panel.fields) {
      const id = panel.program + '-' + f.name;
      const row = document.createElement('div');
      row.className = f.flag ? 'field flag' : 'field';
      const label = document.createElement('label');
      label.htmlFor = id;
      label.textContent = f.label;
      let input;
      if (f.choices) {
        input = document.createElement('select');
        for (const c of f.choices) {
          const option = document.createElement('option');
          option.value = c;
          option.textContent = c === '' ? '(default)' : c;
          input.appendChild(option);
        }
      } else {
        input = document.createElement('input');
        input.type = f.flag ? 'checkbox' : 'text';
        if (!f.flag) {
          input.placeholder = f.hint;
          input.autocomplete = 'off';
          input.spellcheck = false;
          input.inputMode = 'text';
        }
      }
      input.id = id;
      input.name = f.name;
      const code = document.createElement('code');
      code.textContent = '--' + f.name;
      label.append(' ', code);
      input.addEventListener('input', () => update(panel));
      input.addEventListener('change', () => {
        update(panel);
        editing = false;
      });
      if (f.flag) row.append(input, label); else row.append(label, input);
      form.appendChild(row);
    }
    const alert = document.createElement('p');
    alert.setAttribute('role', 'alert');
    alert.className = 'alert';
    alert.hidden = true;
    const csv = document.createElement('a');
    csv.className = 'csv';
    csv.id = 'csv-' + panel.program;
    csv.download = panel.program + '.csv';
    csv.textContent = 'Download as CSV';
    csv.hidden = true;
    const answer = document.createElement('div');
    answer.className = 'answer';
    answer.setAttribute('aria-live', 'polite');
    section.append(h2, about, form, alert, csv, answer);
    main.appendChild(section);
  }
}

// Opens the panel of `program` (its tab selected, the others hidden).
function open(program) {
  for (const panel of PANELS) {
    const active = panel.program === program;
    const section = document.getElementById(panel.program);
    section.hidden = !active;
    const tab = document.getElementById('tab-' + panel.program);
    tab.setAttribute('aria-selected', String(active));
    tab.tabIndex = active ? 0 : -1;
    // Only the open panel's answer and link carry the ids tests and users find.
    const table = section.querySelector('#answer');
    if (table && !active) table.removeAttribute('id');
    section.querySelector('.csv').id = active ? 'csv' : 'csv-' + panel.program;
  }
}

// The fragment the page shows: Back fires both popstate and hashchange,
// and the second finds it shown already.
let restored = null;

// Fills a panel's fields from the fragment and opens it: the fragment's
// own panel, or the first where the link is damaged or names no program.
// A link that names no field of its panel is refused in the alert.
function restore() {
  if (location.hash !== '' && location.hash === restored) return;
  editing = false;
  if (!location.hash) history.replaceState(null, '', FIRST);
  restored = location.hash;
  const fragment = parseFragment(location.hash);
  const problem = problemOf(fragment);
  const panel = PANELS.find((p) => p.program === fragment.program) || PANELS[0];
  const given = new Map(fragment.pairs);
  for (const f of panel.fields) {
    const input = document.getElementById(panel.program + '-' + f.name);
    if (f.flag) input.checked = given.has(f.name);
    else input.value = given.get(f.name) ?? '';
  }
  open(panel.program);
  // The fragment's own command line: the program refuses what it would
  // refuse (a name given twice, a flag with a value).
  show(panel, fragment.pairs, problem);
}

// Arrow keys move between the tabs, as a tab list's do.
function tabKeys(event) {
  const tabs = [...document.querySelectorAll('[role="tab"]')];
  const at = tabs.indexOf(document.activeElement);
  if (at < 0 || !['ArrowLeft', 'ArrowRight', 'Home', 'End'].includes(event.key)) return;
  const next = event.key === 'Home' ? 0 : event.key === 'End' ? tabs.length - 1
    : (at + (event.key === 'ArrowRight' ? 1 : tabs.length - 1)) % tabs.length;
  tabs[next].focus();
  tabs[next].click();
  event.preventDefault();
}

build();
document.getElementById('tabs').addEventListener('keydown', tabKeys);
window.addEventListener('popstate', restore);
window.addEventListener('hashchange', restore);
startWorker();
restore();
