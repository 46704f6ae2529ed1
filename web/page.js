// SPDX-License-Identifier: MIT
// The page: a panel per program whose fields are its options. Each edit
// makes the program's command line, runs the program (erlangb.js, the
// programs compiled to WebAssembly) and shows what it wrote: its text as a
// table, its CSV as a download, a chart from further runs, or its message.
// The fragment is the command line: "#erlangc?calls=100&holding=180".
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
    program: 'erlangc', title: 'Erlang C and A',
    about: 'Calls that wait for agents: the figures of given agents, the agents ' +
      'targets need, or the load agents carry. A patience makes it Erlang A.',
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
      {name: 'shrinkage', label: 'Shrinkage', hint: 'e.g. 30%'},
      {name: 'fractional', label: 'Real agents', flag: true},
    ],
  },
];

const FIRST = '#erlangb-table?load=10&blocking=1%25';
let programs = null;  // the module, once loaded

// ---- Command lines and fragments

// The fragment's program and its name=value pairs, in order.
function parseFragment(hash) {
  const text = hash.replace(/^#/, '');
  const at = text.indexOf('?');
  const program = at < 0 ? text : text.slice(0, at);
  const pairs = [];
  for (const part of (at < 0 ? '' : text.slice(at + 1)).split('&')) {
    if (part === '') continue;
    const eq = part.indexOf('=');
    const decode = (s) => decodeURIComponent(s.replace(/\+/g, ' '));
    pairs.push(eq < 0 ? [decode(part), null] : [decode(part.slice(0, eq)), decode(part.slice(eq + 1))]);
  }
  return {program, pairs};
}

// The fragment of a program's pairs.
function fragmentOf(program, pairs) {
  const encode = (s) => encodeURIComponent(s);
  return '#' + program + (pairs.length ? '?' : '') +
    pairs.map(([n, v]) => v === null ? encode(n) : encode(n) + '=' + encode(v)).join('&');
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

// Runs a program on its arguments.
function run(program, args) {
  return programs.run(program, args.join('\n'));
}

// ---- Output

// The text output as a table: its "#" lines above the last before the
// rows as the caption, that last as the headings (separated by two spaces
// or more), each row's fields as cells. Built as one text: a table of the
// ITU-T layout has 6,000 cells.
function tableOf(text) {
  const lines = text.split('\n').filter((l) => l !== '');
  const marked = lines.filter((l) => l.startsWith('#'));
  const rows = lines.filter((l) => !l.startsWith('#'));
  const escape = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
  const captionLines = rows.length ? marked.slice(0, -1) : marked;
  let html = '<caption>' + captionLines.map((l) => escape(l.replace(/^# ?/, ''))).join('<br>') +
    '</caption>';
  if (rows.length) {
    const headings = marked[marked.length - 1].replace(/^#/, '').trim().split(/\s{2,}/);
    html += '<thead><tr>' + headings.map((h) => '<th scope="col">' + escape(h) + '</th>').join('') +
      '</tr></thead><tbody>';
    for (const r of rows) {
      html += '<tr><td>' + r.trim().split(/\s+/).map(escape).join('</td><td>') + '</td></tr>';
    }
    html += '</tbody>';
  }
  const table = document.createElement('table');
  table.id = 'answer';
  table.innerHTML = html;
  return table;
}

// The CSV's rows as objects of numbers by heading.
function recordsOf(csv) {
  const lines = csv.split('\n').filter((l) => l !== '');
  const names = lines[0].split(',');
  return lines.slice(1).map((l) => {
    const values = l.split(',');
    const record = {};
    names.forEach((n, i) => { record[n] = values[i] === '' ? NaN : Number(values[i]); });
    return record;
  });
}

// ---- Charts, as SVG, from further runs of the same program

const SVG = 'http://www.w3.org/2000/svg';

function svgElement(name, attributes, parent) {
  const e = document.createElementNS(SVG, name);
  for (const [k, v] of Object.entries(attributes)) e.setAttribute(k, v);
  if (parent) parent.appendChild(e);
  return e;
}

// A chart of `series` ({name, points: [[x, y]...]}) with optional target
// line and answer marks; y on a log scale where `log`.
function chartOf(title, xName, yName, series, {log = false, target = null, marks = []} = {}) {
  const width = 640;
  const height = 300;
  const pad = {left: 64, right: 16, top: 28, bottom: 40};
  const all = series.flatMap((s) => s.points).concat(marks)
    .filter(([x, y]) => isFinite(x) && isFinite(y) && (!log || y > 0));
  if (all.length === 0) return null;
  const ty = (y) => log ? Math.log10(y) : y;
  let [x0, x1] = [Math.min(...all.map((p) => p[0])), Math.max(...all.map((p) => p[0]))];
  const ys = all.map((p) => ty(p[1])).concat(target !== null && (!log || target > 0) ? [ty(target)] : []);
  let [y0, y1] = [Math.min(...ys), Math.max(...ys)];
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
    const points = s.points.filter(([x, y]) => isFinite(x) && isFinite(y) && (!log || y > 0));
    if (!points.length) return;
    svgElement('polyline', {points: points.map(([x, y]) => `${X(x)},${Y(y)}`).join(' '),
      class: 'series s' + (k % 6)}, svg);
    const t = svgElement('text', {x: X(points[points.length - 1][0]) - 4,
      y: Y(points[points.length - 1][1]) - 6, 'text-anchor': 'end', class: 'label s' + (k % 6)}, svg);
    t.textContent = s.name;
  });
  for (const [x, y] of marks) {
    if (!isFinite(x) || !isFinite(y) || (log && !(y > 0))) continue;
    svgElement('circle', {cx: X(x), cy: Y(y), r: 5, class: 'mark', 'data-x': x, 'data-y': y}, svg);
  }
  return svg;
}

// The largest of a list's values as the fields hold it, or NaN.
function single(pairs, name) {
  const v = pairs.find(([n]) => n === name);
  return v && /^[0-9.eE+-]+%?$/.test(v[1]) ? v[1] : null;
}

// Runs `program` on `args` plus the curve's own and gives its CSV records.
function curve(program, args) {
  const r = run(program, args.concat(['--csv']));
  return r.status === 0 ? recordsOf(r.out) : [];
}

// The span of circuits or agents a chart shows around n.
function span(n) {
  const top = Math.max(Math.ceil(n * 1.6), Math.ceil(n) + 8);
  const bottom = Math.max(1, Math.floor(n / 2));
  const step = Math.max(1, Math.ceil((top - bottom) / 120));
  return `${bottom}..${top}..${step}`;
}

// The chart beside an answer, from the answer's CSV records.
function chartFor(panel, pairs, records) {
  const program = panel.program;
  const keep = (names) => argsOf(pairs.filter(([n]) => names.includes(n)));
  if (program === 'erlangb-table') {
    if (records.length === 1) {
      const r = records[0];
      const points = curve(program, [`--circuits=${span(r.circuits)}`, `--load=${r.load}`])
        .map((c) => [c.circuits, c.blocking]);
      const asked = single(pairs, 'blocking') !== null;
      return chartOf(`Blocking against circuits at ${r.load} erlangs`, 'circuits', 'blocking',
        [{name: 'blocking', points}], {log: true, target: asked ? r.blocking : null,
          marks: [[r.circuits, r.blocking]]});
    }
    return matrixChart(records);
  }
  if (program === 'erlangb-overflow') {
    if (records.length === 1 && 'blocking' in records[0]) {
      const r = records[0];
      const points = curve(program, keep(['group', 'poisson', 'mean', 'variance', 'peakedness',
        'method']).concat([`--circuits=${span(Math.max(r.circuits, 1))}`]))
        .map((c) => [c.circuits, c.blocking]);
      return chartOf('Blocking of the final group against its circuits', 'circuits', 'blocking',
        [{name: 'blocking', points}], {log: true,
          target: single(pairs, 'blocking') !== null ? r.blocking : null,
          marks: [[r.circuits, r.blocking]]});
    }
    return records.length > 1 ? tableChart(records) : null;
  }
  // erlangc: the figures against agents around the answer, at its load.
  if (records.length === 1) {
    const r = records[0];
    const rows = curve(program, keep(['holding', 'answer-time', 'patience'])
      .concat([`--load=${r.load}`, `--agents=${span(r.agents)}`]));
    const series = [];
    const add = (name, key) => {
      if (rows.length && isFinite(rows[0][key])) {
        series.push({name, points: rows.map((c) => [c.agents, c[key]])});
      }
    };
    add('service level', 'service_level');
    add('wait probability', 'wait_probability');
    add('abandoned', 'abandoned');
    const level = single(pairs, 'service-level');
    const target = level === null ? null : Number(level.replace('%', '')) / (level.endsWith('%') ? 100 : 1);
    return chartOf(`Figures against agents at ${r.load} erlangs`, 'agents', 'share of calls',
      series, {target, marks: [[r.agents, isFinite(r.service_level) ? r.service_level : r.wait_probability]]});
  }
  return tableChart(records);
}

// erlangb-table's table, whose CSV has a line per cell (row, column,
// answer): a curve for each column against the rows, or, for a single row,
// the answers against the columns.
function matrixChart(records) {
  const [x, column, y] = Object.keys(records[0]);
  const curves = new Map();
  for (const r of records) {
    if (!curves.has(r[column])) curves.set(r[column], []);
    curves.get(r[column]).push([r[x], r[y]]);
  }
  const positive = records.every((r) => r[y] > 0);
  if (curves.size === records.length) {
    return chartOf(`${y} against ${column}`, column, y,
      [{name: y, points: records.map((r) => [r[column], r[y]])}], {log: positive});
  }
  const series = [...curves].map(([c, points]) => ({name: String(c), points}));
  return chartOf(`${y} against ${x}, a curve for each ${column}`, x, y, series, {log: positive});
}

// A table's columns as curves against its first column.
function tableChart(records) {
  if (records.length < 2) return null;
  const names = Object.keys(records[0]);
  const [x, ...ys] = names;
  const series = ys.filter((n) => records.every((r) => isFinite(r[n])))
    .map((n) => ({name: n, points: records.map((r) => [r[x], r[n]])}));
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
  show(panel, pairs);
  shown();
}

function show(panel, pairs) {
  const section = document.getElementById(panel.program);
  const out = section.querySelector('.answer');
  const alert = section.querySelector('[role="alert"]');
  const csvLink = section.querySelector('.csv');
  out.replaceChildren();
  for (const input of section.querySelectorAll('input, select')) {
    input.removeAttribute('aria-invalid');
  }
  if (!programs) return;
  const args = argsOf(pairs);
  const text = run(panel.program, args);
  if (text.status !== 0) {
    const message = text.err.split('\n')[0].replace(/^[^:]*: /, '');
    alert.textContent = message;
    alert.hidden = false;
    csvLink.hidden = true;
    for (const f of panel.fields) {
      if (message.includes('--' + f.name + ' ') || message.includes('--' + f.name + "'") ||
          message.startsWith('--' + f.name)) {
        document.getElementById(panel.program + '-' + f.name).setAttribute('aria-invalid', 'true');
      }
    }
    return;
  }
  alert.textContent = '';
  alert.hidden = true;
  out.appendChild(tableOf(text.out));
  const csv = run(panel.program, args.concat(['--csv']));
  csvLink.href = 'data:text/csv;charset=utf-8,' + encodeURIComponent(csv.out);
  csvLink.hidden = false;
  const records = csv.out.includes(',') ? recordsOf(csv.out) : [];
  const chart = records.length ? chartFor(panel, pairs, records) : null;
  if (chart) out.appendChild(chart);
}

// Marks the page as showing the answer to the fragment, for those who wait
// for it (the tests), and when the first answer came.
function shown() {
  document.body.dataset.shown = location.hash;
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

// Fills a panel's fields from the fragment and opens it.
function restore() {
  editing = false;
  const {program, pairs} = parseFragment(location.hash || FIRST);
  const panel = PANELS.find((p) => p.program === program) || PANELS[0];
  const given = new Map(pairs);
  for (const f of panel.fields) {
    const input = document.getElementById(panel.program + '-' + f.name);
    if (f.flag) input.checked = given.has(f.name);
    else input.value = given.get(f.name) ?? '';
  }
  open(panel.program);
  // The fragment's own command line, names no field has included: the
  // program refuses what it would refuse.
  if (!location.hash) history.replaceState(null, '', FIRST);
  show(panel, panel.program === program ? pairs : pairsOf(panel));
  shown();
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
ErlangbPrograms().then((module) => {
  programs = module;
  document.body.dataset.ready = 'true';
  restore();
});
