// The "Explore" panel: a slider and a number box for each parameter of the
// parameter file; each change re-simulates with velm's model (loader.js) and
// redraws the hydrograph, the flow-duration curve, the monthly bars and the
// scores table. The numbers come from the model: this script sorts and sums
// daily totals for the charts, and computes no score. It reads what
// velm-report wrote into the panel (#explore-data): the parameters with their
// file values, the control file's settings and the catchment's forcing.
'use strict';
(() => {
  const data = JSON.parse(document.getElementById('explore-data').textContent);
  const panel = document.getElementById('explore');
  const style = document.createElement('style');
  style.textContent = document.getElementById('explore-style').textContent;
  document.head.appendChild(style);
  const charts = window.velmCharts || {};
  const stem = document.body.dataset.stem;

  function doubles(base64) {
    const binary = atob(base64);
    const view = new DataView(new ArrayBuffer(binary.length));
    for (let i = 0; i < binary.length; i++) view.setUint8(i, binary.charCodeAt(i));
    const values = new Float64Array(binary.length / 8);
    for (let i = 0; i < values.length; i++) values[i] = view.getFloat64(8 * i, true);
    return values;
  }

  function add(parent, tag, properties) {
    const element = Object.assign(document.createElement(tag), properties || {});
    parent.appendChild(element);
    return element;
  }
  const shown = value => (Number.isFinite(value) ? String(Number(value.toPrecision(6))) : String(value));

  // The charts as the result file drew them: the columns that stay.
  const rowsOf = g => {
    if (!g) return null;
    const rows = [];
    for (let i = 0; i < g.numRows(); i++) {
      const row = [];
      for (let j = 0; j < g.numColumns(); j++) row.push(g.getValue(i, j));
      rows.push(row);
    }
    return rows;
  };
  const base = { hydrograph: rowsOf(charts.hydrograph), duration: rowsOf(charts.duration),
    monthly: rowsOf(charts.monthly) };
  const countedDays = data.monthOfDay.filter(m => m >= 0).length;

  function redraw(run) {
    if (base.hydrograph) {
      const last = base.hydrograph[0].length - 1;
      charts.hydrograph.updateOptions({ file: base.hydrograph.map((row, i) => {
        const out = row.slice();
        out[0] = new Date(row[0]);
        out[last] = run.runoff[i];
        return out;
      }) });
    }
    if (base.duration && base.duration.length === countedDays) {
      const sorted = run.runoff.filter((v, i) => data.monthOfDay[i] >= 0).sort((a, b) => b - a);
      const last = base.duration[0].length - 1;
      charts.duration.updateOptions({ file: base.duration.map((row, i) => {
        const out = row.slice();
        out[last] = sorted[i] > 0 ? sorted[i] : null;
        return out;
      }) });
    }
    if (base.monthly) {
      const runoff = base.monthly.map(() => 0), evaporation = base.monthly.map(() => 0);
      data.monthOfDay.forEach((m, i) => {
        if (m < 0) return;
        runoff[m] += run.runoff[i];
        evaporation[m] += run.actualEvaporation[i];
      });
      // By label: the chart shows potential evaporation beside these.
      const labels = charts.monthly.getLabels();
      const calculated = labels.indexOf('Calculated');
      const actual = labels.indexOf('Actual evaporation');
      charts.monthly.updateOptions({ file: base.monthly.map((row, m) => {
        const out = row.slice();
        out[0] = new Date(row[0]);
        out[calculated] = runoff[m];
        out[actual] = evaporation[m];
        return out;
      }) });
    }
    // The module's words for velm-report's scores, in the table's order.
    const table = document.querySelector('table.scores');
    if (table && run.scores.fitDays > 0) {
      Object.values(run.scoreTexts).forEach((text, k) => {
        table.rows[k + 1].cells[1].textContent = text;
      });
    }
  }

  function download(fileName, text) {
    const url = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    const link = add(document.body, 'a', { href: url, download: fileName });
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function build(model) {
    const session = model.session({ rain: doubles(data.rain),
      potentialEvaporation: doubles(data.potentialEvaporation),
      observed: data.run.withObserved ? doubles(data.observed) : null });
    session.setRun(data.run);
    const tankCount = Math.max(0, ...data.parameters.map(p => p.tank || 0));
    session.setTanks(Array.from({ length: tankCount }, () => [0, 0]));

    const head = add(panel, 'div', { className: 'explore-head' });
    add(head, 'h2', { textContent: 'Explore' });
    const toggle = add(head, 'button', { type: 'button', id: 'explore-toggle', textContent: 'Hide' });
    add(panel, 'p', { className: 'meta', textContent: 'Each change re-simulates the run with ' +
      'velm\'s model in this page and redraws the hydrograph, the flow-duration curve, the ' +
      'monthly totals and the scores. A calibrated parameter ranges from 0 to its upper ' +
      'bound, the parameter file\'s value; the others from 0 to twice their value. Edit the ' +
      'ends of a range to change it.' });
    const buttons = add(panel, 'p', { className: 'explore-buttons' });
    const resetFile = add(buttons, 'button', { type: 'button', id: 'explore-file',
      textContent: 'Parameter file\'s values' });
    const resetCalibrated = data.calibration ? add(buttons, 'button', { type: 'button',
      id: 'explore-calibrated', textContent: 'Calibrated set' }) : null;
    const save = add(buttons, 'button', { type: 'button', id: 'explore-download',
      textContent: 'Download parameter file' });
    const status = add(panel, 'p', { id: 'explore-status', className: 'explore-status' });
    status.setAttribute('role', 'status');
    const list = add(panel, 'div', { className: 'explore-parameters' });
    const derivedTable = add(panel, 'table', { className: 'explore-derived' });

    const controls = data.parameters.map(p => {
      const calibrated = p.optimized !== undefined;
      const top = calibrated ? p.file : 2 * p.file;
      const row = add(list, 'div', { className: calibrated ? 'explore-row calibrated' : 'explore-row' });
      row.dataset.name = p.name;
      const label = add(row, 'label', { textContent: `${p.name} ` });
      add(label, 'span', { className: 'unit', textContent: p.unit === '-' ? '' : p.unit });
      const box = add(row, 'input', { type: 'number', step: 'any', className: 'value' });
      box.setAttribute('aria-label', p.name);
      const low = add(row, 'input', { type: 'number', step: 'any', className: 'end', value: 0 });
      const slider = add(row, 'input', { type: 'range' });
      slider.setAttribute('aria-label', `${p.name} slider`);
      const high = add(row, 'input', { type: 'number', step: 'any', className: 'end',
        value: top > 0 ? top : 1 });
      low.setAttribute('aria-label', `${p.name} from`);
      high.setAttribute('aria-label', `${p.name} to`);
      const control = { p, row, box, slider, low, high, calibrated };
      const setRange = () => {
        slider.min = low.value;
        slider.max = high.value;
        slider.step = String((Number(high.value) - Number(low.value)) / 1000 || 'any');
      };
      setRange();
      low.addEventListener('change', () => { setRange(); slider.value = box.value; });
      high.addEventListener('change', () => { setRange(); slider.value = box.value; });
      slider.addEventListener('input', () => { control.set(Number(slider.value), false); rerun(); });
      box.addEventListener('change', () => {
        if (box.value === '' || !Number.isFinite(Number(box.value))) return;
        control.set(Number(box.value), true);
        rerun();
      });
      control.set = (value, moveSlider) => {
        box.value = String(value);
        if (moveSlider) slider.value = String(value);
        if (!p.tank) {
          session.set(p.name, value);
        } else {
          const tanks = session.tanks();
          tanks[p.tank - 1][p.list] = value;
          session.setTanks(tanks);
        }
      };
      return control;
    });

    const derivedNames = model.names.slice(model.fileNames.length);
    const derivedCells = derivedNames.map(name => {
      const row = add(derivedTable, 'tr');
      add(row, 'td', { textContent: `${name} (derived)` });
      const cell = add(row, 'td', { className: 'num' });
      add(row, 'td', { textContent: data.derivedUnits[name] || '' });
      return cell;
    });

    function describe(run) {
      const rule = session.brokenRule();
      const tokens = new Set(rule.split(' '));
      for (const c of controls) c.row.classList.toggle('broken', tokens.has(c.p.name));
      derivedNames.forEach((name, i) => { derivedCells[i].textContent = shown(session.get(name)); });
      const parts = [];
      if (run && run.problem) parts.push(`Not simulated: ${run.problem}.`);
      if (rule) parts.push(`Breaks the ordering rule ${rule}: a calibration adds a penalty to f.`);
      if (run && !run.problem && data.run.withObserved) parts.push(`velm's f ${shown(run.fit.f)}.`);
      status.textContent = parts.join(' ');
      status.classList.toggle('fault', Boolean(rule || (run && run.problem)));
    }

    let runs = 0;
    function rerun() {
      const start = performance.now();
      const run = session.simulate();
      if (!run.problem) redraw(run);
      describe(run);
      document.body.dataset.exploreMs = (performance.now() - start).toFixed(1);
      document.body.dataset.exploreRuns = String(++runs);
    }

    function setAll(valueOf) {
      for (const c of controls) c.set(valueOf(c), true);
    }
    const fileValue = c => c.p.file;
    const calibratedValue = c => (c.calibrated ? c.p.optimized : c.p.file);
    resetFile.addEventListener('click', () => { setAll(fileValue); rerun(); });
    if (resetCalibrated) resetCalibrated.addEventListener('click', () => { setAll(calibratedValue); rerun(); });
    save.addEventListener('click', () => {
      const file = session.parameterFile();
      if (file.refusal) {
        status.textContent = `No parameter file gives this set: ${file.refusal}.`;
        return;
      }
      download(`${stem}-parameters.dat`, file.text);
    });

    const open = shown => {
      document.body.classList.toggle('exploring', shown);
      panel.classList.toggle('closed', !shown);
      toggle.textContent = shown ? 'Hide' : 'Explore';
      for (const g of Object.values(charts)) g.resize();
    };
    toggle.addEventListener('click', () => open(panel.classList.contains('closed')));
    // The charts show the result file's run; the panel starts at its set.
    setAll(data.calibration ? calibratedValue : fileValue);
    describe(null);
    open(true);
    document.body.dataset.exploreReady = 'true';
  }

  window.velmModel.then(build);
})();
