// study.html's tables and charts, from what velm-study wrote into the page
// (#study-data): per catchment its starts ([start, seed, f, valid,
// [calibration NSE, KGE], [validation NSE, KGE], [parameter values]]) and
// its validation band ([date, observed, best, low, high] a day).
'use strict';
(() => {
  const study = JSON.parse(document.getElementById('study-data').textContent);
  const catchments = study.catchments.map(c => {
    const starts = c.starts.map(s => ({
      start: s[0], seed: s[1], f: s[2], valid: s[3],
      calibration: { nse: s[4][0], kge: s[4][1] },
      validation: { nse: s[5][0], kge: s[5][1] },
      values: s[6],
    }));
    const valid = starts.filter(s => s.valid);
    const best = valid.reduce((b, s) => (b === null || s.f < b.f ? s : b), null);
    return Object.assign({}, c, { starts, valid, best });
  });
  const shown = catchments.filter(c => c.best !== null);
  const number = v => (v === null ? '' : String(Number(v.toPrecision(6))));
  // Tick labels with the digits that tell close values apart.
  const tidy = v => String(Number(v.toPrecision(5)));

  function add(parent, tag, text) {
    const element = document.createElement(tag);
    if (text !== undefined) element.textContent = text;
    parent.appendChild(element);
    return element;
  }
  function tableRow(table, cells, header) {
    const row = add(table, 'tr');
    for (const cell of cells) add(row, header ? 'th' : 'td', cell);
    return row;
  }

  const summary = document.getElementById('catchments');
  tableRow(summary, ['Catchment', 'Starts', 'Valid', 'Best f', 'Seed',
                     'Calibration NSE', 'Validation NSE', 'Validation KGE',
                     'Note'], true);
  for (const c of catchments) {
    const b = c.best;
    const row = tableRow(summary, [
      c.name, String(c.starts.length), String(c.valid.length),
      b ? number(b.f) : '', b ? String(b.seed) : '',
      b ? number(b.calibration.nse) : '', b ? number(b.validation.nse) : '',
      b ? number(b.validation.kge) : '',
      c.state === 'done' ? c.reason : `${c.state}: ${c.reason}`]);
    if (!b) row.className = 'fault';
  }

  // Every chart counts once it has drawn for the first time.
  const planned = new Set();
  const drawn = new Set();
  function chart(id, element, data, options) {
    planned.add(id);
    document.body.dataset.chartsExpected = String(planned.size);
    return new Dygraph(element, data, Object.assign({
      legend: 'always',
      labelsSeparateLines: false,
      drawCallback: (g, initial) => {
        if (!initial) return;
        drawn.add(id);
        document.body.dataset.chartsDrawn = String(drawn.size);
      },
    }, options));
  }
  const points = { strokeWidth: 0, drawPoints: true, pointSize: 3 };
  const charts = { dotty: [] };
  window.velmStudy = { charts, catchments };

  // The empirical distribution of a score over the catchments: the share of
  // them at or below each value, as steps up from 0 at the lowest score.
  function distributionRows() {
    const rows = [];
    const scores = ['nse', 'kge'].map(score => shown.map(c => c.best.validation[score])
      .filter(v => v !== null).sort((a, b) => a - b));
    const lowest = Math.min(...scores.flat());
    scores.forEach((values, column) => {
      [[lowest, 0], ...values.map((v, i) => [v, (i + 1) / values.length])]
        .forEach(([v, share]) => {
          const row = [v, null, null];
          row[1 + column] = share;
          rows.push(row);
        });
    });
    return scores.flat().length ? rows.sort((a, b) => a[0] - b[0]) : [];
  }
  const distribution = distributionRows();
  if (distribution.length > 0) {
    charts.distribution = chart('distribution', document.getElementById('distribution'),
      distribution, {
        labels: ['Score', 'NSE', 'KGE'],
        colors: ['#d9534f', '#4a90d9'],
        stepPlot: true, drawPoints: true, pointSize: 3, connectSeparatedPoints: true,
        valueRange: [0, 1.05],
        xlabel: 'Validation score of the best start',
        ylabel: 'Share of catchments',
      });
  } else {
    document.getElementById('distribution').textContent = 'No catchment has a valid start.';
  }

  const pairs = [];
  for (const c of shown) {
    for (const s of c.valid) {
      if (s.calibration.nse !== null && s.validation.nse !== null) {
        pairs.push([s.calibration.nse, s.validation.nse]);
      }
    }
  }
  if (pairs.length > 0) {
    const all = pairs.flat();
    const low = Math.min(...all), high = Math.max(...all);
    const pad = Math.max(0.02, (high - low) * 0.05);
    charts.scatter = chart('calibration-validation',
      document.getElementById('calibration-validation'),
      [[low - pad, null, low - pad], ...pairs.sort((a, b) => a[0] - b[0])
        .map(p => [p[0], p[1], null]), [high + pad, null, high + pad]], {
        labels: ['Calibration NSE', 'Validation NSE', '1:1'],
        colors: ['#d9534f', '#888888'],
        series: { 'Validation NSE': points,
                  '1:1': { strokePattern: [6, 4], connectSeparatedPoints: true } },
        dateWindow: [low - pad, high + pad],
        valueRange: [low - pad, high + pad],
        xlabel: 'Calibration NSE',
        ylabel: 'Validation NSE',
      });
  } else {
    document.getElementById('calibration-validation').textContent = 'No valid start.';
  }

  function dateOf(text) {
    const [year, month, day] = text.split('-').map(Number);
    const date = new Date(2000, 0, 1);
    date.setFullYear(year, month - 1, day);
    return date;
  }
  const median = sorted => {
    const n = sorted.length, half = Math.floor(n / 2);
    return n % 2 ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2;
  };

  function showCatchment(c) {
    document.body.dataset.catchment = c.name;
    document.getElementById('catchment-note').textContent =
      `${c.valid.length} of ${c.starts.length} starts valid; the best is seed ` +
      `${c.best.seed} with f ${number(c.best.f)}, validation NSE ` +
      `${number(c.best.validation.nse)} and KGE ${number(c.best.validation.kge)}.`;

    const band = c.band.map(d => [dateOf(d[0]), [d[3], d[2], d[4]],
                                  d[1] > 0 ? [d[1], d[1], d[1]] : null]);
    if (charts.hydrograph) charts.hydrograph.destroy();
    charts.hydrograph = chart('hydrograph', document.getElementById('hydrograph'), band, {
      labels: ['Date', 'Calculated', 'Observed'],
      colors: ['#d9534f', '#111111'],
      customBars: true,
      ylabel: 'Runoff (mm/day)',
      showRangeSelector: true,
      axes: { x: { axisLabelWidth: 70 }, y: { axisLabelWidth: 60 } },
    });

    const dotty = document.getElementById('dotty');
    for (const g of charts.dotty) g.destroy();
    charts.dotty = [];
    dotty.textContent = '';
    c.parameters.forEach((name, p) => {
      const rows = c.valid.filter(s => s.values[p] !== null && s.f !== null)
        .map(s => [s.values[p], s.f]).sort((a, b) => a[0] - b[0]);
      const box = add(dotty, 'div');
      box.className = 'chart dotty-plot';
      charts.dotty.push(chart(`dotty-${p}`, box, rows, {
        labels: [name, 'f'],
        colors: ['#4a90d9'],
        series: { f: points },
        title: name,
        xlabel: name,
        ylabel: 'f',
        legend: 'onmouseover',
        xRangePad: 8,
        yRangePad: 8,
        axes: { x: { axisLabelFormatter: tidy }, y: { axisLabelWidth: 60, axisLabelFormatter: tidy } },
      }));
    });

    const spread = document.getElementById('spread');
    spread.textContent = '';
    tableRow(spread, ['', 'Min', 'Median', 'Max'], true);
    [['f', s => s.f], ...c.parameters.map((name, p) => [name, s => s.values[p]])]
      .forEach(([name, value]) => {
        const values = c.valid.map(value).filter(v => v !== null).sort((a, b) => a - b);
        tableRow(spread, [name, ...(values.length
          ? [values[0], median(values), values[values.length - 1]].map(number)
          : ['', '', ''])]);
      });
  }

  const select = document.getElementById('catchment');
  shown.forEach((c, i) => {
    const option = add(select, 'option', c.name);
    option.value = String(i);
  });
  select.addEventListener('change', () => showCatchment(shown[Number(select.value)]));
  if (shown.length > 0) {
    showCatchment(shown[0]);
  } else {
    document.querySelector('.chosen').hidden = true;
  }
  if (planned.size === 0) document.body.dataset.chartsDrawn = '0';
  window.velmStudy.show = name => {
    select.value = String(shown.findIndex(c => c.name === name));
    select.dispatchEvent(new Event('change'));
  };
})();
