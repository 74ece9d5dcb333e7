// The report page's charts, downloads, log-scale switch, print layout and
// input-check findings. It reads what velm-report wrote into the page: the
// daily series as CSV (#daily-series), the sums (#report-data) and, when the
// catchment was checked, velm-check.json's text (#velm-check-data).
'use strict';
(() => {
  const colors = {
    Rain: '#4a90d9',
    Observed: '#111111',
    Calculated: '#d9534f',
    'Actual evaporation': '#5cb85c',
    'Potential evaporation': '#b8dcb0',
    '1:1': '#888888',
  };
  const report = JSON.parse(document.getElementById('report-data').textContent);
  const hasObserved = report.hasObserved;
  const stem = document.body.dataset.stem;
  const csvLines = document.getElementById('daily-series').textContent.trim()
    .split(/\r?\n/);
  const field = text => (text === '' || text === undefined ? null : Number(text));

  // Years below 100 are years, not 1900 + year.
  function dateOf(year, month, day) {
    const date = new Date(2000, 0, 1);
    date.setFullYear(year, month - 1, day);
    return date;
  }

  const days = csvLines.slice(1).map(line => {
    const f = line.split(',');
    const [, year, month, day] = /^(-?\d+)-(\d+)-(\d+)$/.exec(f[0]) || [0, 0, 1, 1];
    return {
      date: dateOf(Number(year), Number(month), Number(day)),
      rain: field(f[1]),
      observed: field(f[2]),
      calculated: field(f[3]),
    };
  });
  const runoffLabels = hasObserved ? ['Observed', 'Calculated'] : ['Calculated'];
  const colorsOf = labels => labels.map(label => colors[label]);

  // Rain hangs from the top of the hydrograph as bars on its own axis, so
  // that storms and their runoff responses line up without hiding each other;
  // the bars take the top 35 % of the plot.
  const rainMax = days.reduce((max, d) => Math.max(max, d.rain || 0), 1e-9);
  const rainTop = rainMax / 0.35;
  function rainBars(e) {
    const ctx = e.drawingContext, area = e.plotArea, points = e.points;
    const step = points.length > 1 ? points[1].canvasx - points[0].canvasx : 4;
    const width = Math.max(1, step * 0.8);
    ctx.fillStyle = e.color;
    for (const p of points) {
      if (p.yval === null || isNaN(p.yval)) continue;
      ctx.fillRect(p.canvasx - width / 2, area.y, width, p.yval / rainTop * area.h);
    }
  }
  function rainTicks(min, max, pixels, opts, g) {
    return Dygraph.numericTicks(0, rainMax, pixels * 0.35, opts, g)
      .filter(t => t.v >= 0 && t.v <= rainMax)
      .map(t => ({ v: rainTop - t.v, label: t.label }));
  }

  // The monthly series side by side, as bars from zero.
  function groupedBars(e) {
    if (e.seriesIndex !== 0) return;
    const g = e.dygraph, ctx = e.drawingContext, sets = e.allSeriesPoints;
    const first = sets[0];
    let gap = first.length > 1 ? Infinity : e.plotArea.w / 4;
    for (let i = 1; i < first.length; i++) {
      gap = Math.min(gap, first[i].canvasx - first[i - 1].canvasx);
    }
    const width = gap * 0.8 / sets.length;
    const zero = g.toDomYCoord(0);
    sets.forEach((points, j) => {
      ctx.fillStyle = g.getColors()[j];
      for (const p of points) {
        if (p.yval === null || isNaN(p.canvasy)) continue;
        ctx.fillRect(p.canvasx - gap * 0.4 + j * width, Math.min(p.canvasy, zero),
                     width, Math.abs(zero - p.canvasy));
      }
    });
  }

  const tidy = v => String(Number(v.toPrecision(3)));
  const pairs = days.filter(d => d.observed > 0)
    .map(d => [d.observed, d.calculated])
    .sort((a, b) => a[0] - b[0]);
  const pairTop = 1.05 * pairs.reduce(
    (max, p) => Math.max(max, p[0], Number.isFinite(p[1]) ? p[1] : 0), 1e-9);

  const chartMakers = {
    hydrograph: () => [
      days.map(d => [d.date, d.rain, ...(hasObserved ? [d.observed] : []), d.calculated]), {
        labels: ['Date', 'Rain', ...runoffLabels],
        colors: colorsOf(['Rain', ...runoffLabels]),
        ylabel: 'Runoff (mm/day)',
        y2label: 'Rain (mm/day)',
        series: { Rain: { axis: 'y2', plotter: rainBars } },
        axes: {
          x: { axisLabelWidth: 70 },
          y: { axisLabelWidth: 60, logscale: false },
          y2: { axisLabelWidth: 50, valueRange: [0, rainTop], drawGrid: false,
                independentTicks: true, ticker: rainTicks },
        },
        showRangeSelector: true,
      }],
    duration: () => [
      report.duration.map(r => (hasObserved ? r : [r[0], r[2]])), {
        labels: ['Exceedance', ...runoffLabels],
        colors: colorsOf(runoffLabels),
        logscale: true,
        axes: { y: { axisLabelWidth: 60, axisLabelFormatter: tidy } },
        xlabel: 'Exceedance probability (%)',
        ylabel: 'Runoff (mm/day)',
      }],
    cumulative: () => [
      days.map((d, i) => [d.date, ...report.cumulative[i].slice(hasObserved ? 0 : 1)]), {
        labels: ['Date', ...runoffLabels],
        colors: colorsOf(runoffLabels),
        ylabel: 'Cumulative runoff (mm)',
        axes: { x: { axisLabelWidth: 70 }, y: { axisLabelWidth: 60 } },
      }],
    scatter: () => [
      [[0, null, 0], ...pairs.map(p => [p[0], p[1], null]), [pairTop, null, pairTop]], {
        labels: ['Observed', 'Calculated', '1:1'],
        colors: colorsOf(['Calculated', '1:1']),
        series: {
          Calculated: { strokeWidth: 0, drawPoints: true, pointSize: 2 },
          '1:1': { strokePattern: [6, 4], connectSeparatedPoints: true },
        },
        dateWindow: [0, pairTop],
        valueRange: [0, pairTop],
        xlabel: 'Observed runoff (mm/day)',
        ylabel: 'Calculated runoff (mm/day)',
        axes: { y: { axisLabelWidth: 60 } },
      }],
    monthly: () => {
      const labels = ['Rain', ...runoffLabels, 'Actual evaporation', 'Potential evaporation'];
      return [report.monthly.map(m => [dateOf(m[0], m[1], 1), m[2],
                                       ...(hasObserved ? [m[3]] : []), m[4], m[5], m[6]]), {
        labels: ['Month', ...labels],
        colors: colorsOf(labels),
        plotter: groupedBars,
        includeZero: true,
        xRangePad: 24,
        ylabel: 'mm per month',
        axes: { x: { axisLabelWidth: 70 }, y: { axisLabelWidth: 60 } },
      }];
    },
  };

  // ---- The model's runoff by path ----
  // Each day's calculated runoff stacked by path, from the model's water
  // balance that velm-report simulated from the catchment beside the result.
  const pathColors = ['#7f7f7f', '#f0ad4e', '#5bc0de', '#337ab7', '#1b3f66', '#0b1a2b'];
  if (report.paths) {
    chartMakers.paths = () => [
      days.map((d, i) => [d.date, ...report.paths.days[i]]), {
        labels: ['Date', ...report.paths.labels],
        colors: report.paths.labels.map((label, i) => pathColors[i % pathColors.length]),
        stackedGraph: true,
        fillGraph: true,
        ylabel: 'Runoff (mm/day)',
        axes: { x: { axisLabelWidth: 70 }, y: { axisLabelWidth: 60 } },
      }];
  }
  // ---- end of the model's runoff by path ----

  // ---- The search's trace ----
  // The best f against the evaluations, on a log axis when every f is above
  // zero, so that the late, small gains show.
  if (report.search) {
    chartMakers.search = () => [report.search, {
      labels: ['Evaluations', 'Best f'],
      colors: ['#8e44ad'],
      stepPlot: true,
      logscale: report.search.every(point => point[1] > 0),
      xlabel: 'Evaluations',
      ylabel: 'Best f',
      axes: { y: { axisLabelWidth: 60, axisLabelFormatter: tidy } },
    }];
  }
  // ---- end of the search's trace ----

  const charts = {};
  window.velmCharts = charts;
  const planned = Object.keys(chartMakers).filter(name => {
    const empty = days.length === 0 ? 'No daily rows.'
      : name === 'scatter' && pairs.length === 0 ? 'No fit days: nothing to compare.' : '';
    document.getElementById(name).textContent = empty;
    return !empty;
  });
  document.body.dataset.chartsExpected = String(planned.length);
  const drawn = new Set();
  function chartDrawn(name) {
    drawn.add(name);
    if (drawn.size === planned.length) document.body.dataset.chartsDrawn = String(drawn.size);
  }
  if (planned.length === 0) document.body.dataset.chartsDrawn = '0';
  for (const name of planned) {
    const [data, options] = chartMakers[name]();
    // The legend sits below the plotting area, never over the data.
    const legend = document.createElement('div');
    legend.className = 'legend';
    document.getElementById(name).after(legend);
    charts[name] = new Dygraph(document.getElementById(name), data, Object.assign({
      legend: 'always',
      labelsDiv: legend,
      labelsSeparateLines: false,
      drawCallback: (g, initial) => { if (initial) chartDrawn(name); },
    }, options));
  }

  const logBox = document.getElementById('hydrograph-log');
  logBox.checked = false;
  logBox.addEventListener('change', () => {
    if (charts.hydrograph) {
      charts.hydrograph.updateOptions({ axes: { y: { logscale: logBox.checked } } });
    }
  });

  function download(fileName, url) {
    const link = document.createElement('a');
    link.href = url;
    link.download = fileName;
    document.body.appendChild(link);
    link.click();
    link.remove();
  }

  document.getElementById('download-csv').addEventListener('click', () => {
    const text = csvLines.map(line => line + '\r\n').join('');
    const url = URL.createObjectURL(new Blob([text], { type: 'text/csv;charset=utf-8' }));
    download(`${stem}-daily.csv`, url);
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  });

  // A chart's labels are HTML over its canvases; the image draws them as text
  // at the places and angles they have on screen.
  function drawLabel(ctx, element, box) {
    const text = element.textContent.trim();
    const range = document.createRange();
    range.selectNodeContents(element);
    const r = range.getBoundingClientRect();
    if (!text || r.width === 0) return;
    const style = getComputedStyle(element);
    const turned = element.closest('[class^="dygraph-label-rotate"]');
    const m = new DOMMatrix(turned ? getComputedStyle(turned).transform : undefined);
    ctx.save();
    ctx.font = `${style.fontWeight} ${style.fontSize} ${style.fontFamily}`;
    ctx.fillStyle = style.color;
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    ctx.translate(r.left - box.left + r.width / 2, r.top - box.top + r.height / 2);
    ctx.rotate(Math.atan2(m.b, m.a));
    ctx.fillText(text, 0, 0);
    ctx.restore();
  }

  // The chart's title and the colours of its series, above the chart.
  function drawKey(ctx, name, width) {
    const title = document.querySelector(`[data-png="${name}"]`)
      .closest('.chart-block').querySelector('h2').textContent;
    ctx.fillStyle = '#222222';
    ctx.font = 'bold 13px sans-serif';
    ctx.textBaseline = 'middle';
    ctx.fillText(`${title}: ${document.querySelector('h1').textContent}`, 8, 12);
    ctx.font = '12px sans-serif';
    let x = 8;
    const g = charts[name];
    g.getLabels().slice(1).forEach((label, i) => {
      ctx.fillStyle = g.getColors()[i];
      ctx.fillRect(x, 26, 10, 10);
      ctx.fillStyle = '#222222';
      ctx.fillText(label, x + 14, 31);
      x += 24 + ctx.measureText(label).width;
    });
  }

  function chartImage(name) {
    const div = document.getElementById(name);
    const box = div.getBoundingClientRect();
    const band = 42;
    const scale = Math.max(2, window.devicePixelRatio || 1);
    const canvas = document.createElement('canvas');
    canvas.width = Math.round(box.width * scale);
    canvas.height = Math.round((box.height + band) * scale);
    const ctx = canvas.getContext('2d');
    ctx.scale(scale, scale);
    ctx.fillStyle = '#ffffff';
    ctx.fillRect(0, 0, box.width, box.height + band);
    drawKey(ctx, name, box.width);
    ctx.translate(0, band);
    for (const layer of div.querySelectorAll('canvas')) {
      const r = layer.getBoundingClientRect();
      if (r.width > 0 && r.height > 0) {
        ctx.drawImage(layer, r.left - box.left, r.top - box.top, r.width, r.height);
      }
    }
    for (const label of div.querySelectorAll('.dygraph-axis-label, .dygraph-label')) {
      drawLabel(ctx, label, box);
    }
    return canvas.toDataURL('image/png');
  }

  for (const button of document.querySelectorAll('[data-png]')) {
    const name = button.dataset.png;
    button.disabled = !charts[name];
    button.addEventListener('click', () => download(`${stem}-${name}.png`, chartImage(name)));
  }

  // On paper the charts take the text width of the page (the style sheet
  // sizes them) and the hydrograph loses its range selector.
  function layOut(print) {
    if (charts.hydrograph) charts.hydrograph.updateOptions({ showRangeSelector: !print });
    for (const g of Object.values(charts)) g.resize();
  }
  window.matchMedia('print').addEventListener('change', e => layOut(e.matches));
  window.addEventListener('beforeprint', () => layOut(true));
  window.addEventListener('afterprint', () => layOut(false));

  function add(parent, tag, text) {
    const element = document.createElement(tag);
    if (text !== undefined) element.textContent = text;
    parent.appendChild(element);
    return element;
  }

  // velm-check's errors and warnings about the catchment's input files.
  function showCheck() {
    const data = document.getElementById('velm-check-data');
    if (!data) return;
    const box = document.getElementById('velm-check');
    box.hidden = false;
    let check = null;
    try {
      check = JSON.parse(data.textContent);
    } catch (error) {
      check = null;
    }
    if (!check || typeof check !== 'object' || !Array.isArray(check.findings)) {
      add(box, 'p', 'velm-check.json lies beside the result file but is not a ' +
                    'velm-check report, so its findings cannot be shown.');
      return;
    }
    const shown = check.findings.filter(
      f => f && (f.severity === 'error' || f.severity === 'warning'));
    const count = severity => {
      const n = shown.filter(f => f.severity === severity).length;
      return `${n} ${severity}${n === 1 ? '' : 's'}`;
    };
    // velm-check run inside the catchment names it ".".
    const checked = String(check.directory ?? '');
    const directory = checked === '' || checked === '.' ? document.body.dataset.catchment : checked;
    add(box, 'p', `${count('error')} and ${count('warning')} in ` +
                  `${directory} (verdict: ${String(check.verdict ?? '')}).`);
    if (shown.length === 0) return;
    const table = add(box, 'table');
    const head = add(table, 'tr');
    for (const title of ['Severity', 'File', 'Line', 'Finding', 'Fix']) add(head, 'th', title);
    for (const f of shown) {
      const row = add(table, 'tr');
      row.className = f.severity;
      add(row, 'td', f.severity);
      add(row, 'td', String(f.file ?? ''));
      add(row, 'td', f.line === null || f.line === undefined ? '' : String(f.line));
      const finding = add(row, 'td', String(f.message ?? ''));
      if (f.velm_message) {
        add(finding, 'div', `velm: ${String(f.velm_message)}`).className = 'velm-message';
      }
      add(row, 'td', String(f.fix ?? ''));
    }
  }
  showCheck();
})();
