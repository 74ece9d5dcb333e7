// Drives velm-report's pages in headless Chromium through the DevTools
// protocol on a pipe: every chart draws without a script error, the log-scale
// switch changes the hydrograph's axis, the CSV download is the --series file,
// a chart downloads as a PNG image, print media drops the range selector,
// velm-check's findings show (or a notice, when the file is no report) under
// the catchment's name, legends stay out of the plots, and the model's water
// balance, where the catchment lies beside the result, closes; and on the
// calibration sample's page the Explore panel re-simulates as a slider moves,
// names a broken ordering rule, and downloads a parameter file whose run
// velm-report scores with the very words of the page's scores table.
//   node page_test.mjs WORK CHROMIUM VELM VELM_REPORT
//   (WORK holds the pages check_pages.sh made)
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [work, executablePath, velm, report] = process.argv.slice(2);
const browser = await puppeteer.launch({
  executablePath,
  pipe: true,
  userDataDir: fs.mkdtempSync(path.join(work, 'profile-')),
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const browserSession = await browser.target().createCDPSession();

async function downloaded(folder, name) {
  const file = path.join(folder, name);
  for (let i = 0; i < 200 && !fs.existsSync(file); i++) {
    await new Promise(resolve => setTimeout(resolve, 50));
  }
  return fs.readFileSync(file);
}

// A page in a tab of its own, its script errors and the folder its downloads
// go to.
async function open(file) {
  const downloads = fs.mkdtempSync(path.join(work, 'downloads-'));
  await browserSession.send('Browser.setDownloadBehavior',
    { behavior: 'allow', downloadPath: downloads });
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', error => errors.push(error.message));
  await page.goto(`file://${file}`);
  return { page, errors, downloads };
}

const runoffAxis = page => page.$$eval('#hydrograph .dygraph-axis-label-y',
  labels => labels.map(label => label.textContent).join(' '));

// [directory, the findings table's rows with its head, or a notice, or none,
//  the charts, whether the catchment beside gives the model's balance]
for (const [dir, check, charts, balanced] of [['sim1', null, 6, true],
  ['sim0', 'notice', 5, true], ['cal', 3, 5, false], ['calx', null, 7, true]]) {
  const folder = path.join(work, dir);
  const stem = fs.readdirSync(folder).find(f => f.endsWith('.html')).slice(0, -5);
  const { page, errors, downloads } = await open(`${folder}/${stem}.html`);
  await page.waitForFunction(() => document.body.dataset.chartsDrawn &&
    document.body.dataset.chartsDrawn === document.body.dataset.chartsExpected);
  assert.deepEqual(errors, [], dir);
  assert.equal(await page.$eval('body', b => b.dataset.chartsDrawn), String(charts), dir);

  // The model's balance closes to its printed precision in each column:
  // rain and what the stores gave back in, the rest out.
  const terms = await page.$$eval('#model-balance tr[data-sign]', rows => rows.map(row =>
    [row.firstChild.textContent, row.dataset.sign,
      [...row.querySelectorAll('td.num')].map(cell => Number(cell.textContent))]));
  assert.equal(terms.length > 0, balanced, `${dir}: the model's balance`);
  if (balanced) {
    assert.ok(['From initial storage', 'Infiltrated and left the model']
      .every(name => terms.some(([term]) => term === name)), `${dir}: ${terms}`);
    terms[0][2].forEach((_, column) => {
      const left = terms.reduce((sum, [, sign, values]) =>
        sum + (sign === '+' ? values[column] : -values[column]), 0);
      assert.ok(Math.abs(left) <= 0.05 * terms.length, `${dir}: ${left} mm left in column ${column}`);
    });
  }
  // Every legend lies below its plotting area.
  assert.ok(await page.$$eval('.chart + .legend', legends => legends.every(legend =>
    legend.getBoundingClientRect().top >= legend.previousElementSibling.getBoundingClientRect().bottom)));

  // velm's model, when the page carries it, instantiates and simulates.
  if (await page.$('#velm-model')) {
    await page.waitForFunction(() => document.body.dataset.modelReady === 'true');
    assert.equal(await page.evaluate(() => velmModel.then(model => {
      const session = model.session({ rain: new Array(48).fill(1),
        potentialEvaporation: new Array(48).fill(0.1) });
      session.set('MAX_SoilMoisture', 150); session.set('Final_Infiltration', 0.46);
      session.set('Coeff_Reduction', 0.1); session.set('F18_SoilMoisture', 75);
      return session.simulate().runoff.length;
    })), 2, `${dir}: the model`);
  }

  const linear = await runoffAxis(page);
  await page.click('#hydrograph-log');
  assert.ok(await page.evaluate(() => velmCharts.hydrograph.getOptionForAxis('logscale', 'y')));
  assert.notEqual(await runoffAxis(page), linear, `${dir}: the log scale left the axis`);

  await page.click('#download-csv');
  assert.deepEqual(await downloaded(downloads, `${stem}-daily.csv`),
    fs.readFileSync(path.join(folder, 'daily.csv')), `${dir}: CSV download`);
  await page.click('[data-png="monthly"]');
  const png = await downloaded(downloads, `${stem}-monthly.png`);
  assert.equal(png.subarray(1, 4).toString(), 'PNG');
  assert.ok(png.length > 10000, `${dir}: a blank PNG`);

  await page.emulateMediaType('print');
  await page.waitForFunction(() => !velmCharts.hydrograph.getOption('showRangeSelector'));
  const printWidth = await page.$eval('#hydrograph', div => div.clientWidth);
  assert.ok(Math.abs(printWidth - 180 / 25.4 * 96) < 2, `${dir}: print width ${printWidth}`);
  await page.emulateMediaType(null);
  await page.waitForFunction(() => velmCharts.hydrograph.getOption('showRangeSelector'));

  const findings = await page.$eval('#velm-check', box => box.hidden ? null : box.textContent)
    .catch(() => null);
  if (check === 'notice') {
    assert.match(findings, /is not a velm-check report/);
  } else if (check !== null) {
    assert.equal(await page.$$eval('#velm-check tr', rows => rows.length), check);
    assert.match(findings, /<\/script> ends nothing/);
    assert.match(findings, new RegExp(` in ${dir} \\(verdict`));
  } else {
    assert.equal(findings, null);
  }
  // The panel of a page without observed runoff builds too.
  if (await page.$('#explore-data')) {
    await page.waitForFunction(() => document.body.dataset.exploreReady === 'true');
  }
  assert.deepEqual(errors, [], dir);
  await page.close();
}

const scoreTexts = page => page.$$eval('table.scores tr',
  rows => rows.slice(1).map(row => row.cells[1].textContent));
const explored = path.join(work, 'explore');
if (fs.existsSync(explored)) {
  const { page, errors, downloads } = await open(`${explored}/result.html`);
  await page.waitForFunction(() => document.body.dataset.exploreReady === 'true');
  const runs = () => page.$eval('body', b => Number(b.dataset.exploreRuns || 0));
  const status = () => page.$eval('#explore-status', p => p.textContent);
  const recorded = await scoreTexts(page);

  // A tank's number box: CoeffTank[1] above CoeffSurfaceBotomTank breaks a rule.
  const box = '[data-name="CoeffTank[1]"] input.value';
  await page.$eval(box, input => { input.value = '0.0071'; input.dispatchEvent(new Event('change')); });
  assert.equal(await runs(), 1);
  assert.match(await status(), /ordering rule CoeffSurfaceBotomTank 0\.00\d+ < CoeffTank\[1\] 0\.0071/);
  assert.ok(await page.$('[data-name="CoeffTank[1]"].broken'));
  await page.click('#explore-calibrated');
  assert.doesNotMatch(await status(), /ordering rule/);

  // A calibrated parameter's slider, moved by the keyboard: the monthly bars'
  // actual evaporation follows it, the potential evaporation beside it stays.
  const monthlyColumn = label => page.evaluate(name => {
    const g = window.velmCharts.monthly, j = g.getLabels().indexOf(name);
    return Array.from({ length: g.numRows() }, (_, i) => g.getValue(i, j));
  }, label);
  const [actualBefore, potentialBefore] =
    [await monthlyColumn('Actual evaporation'), await monthlyColumn('Potential evaporation')];
  await page.focus('[data-name="MAX_EvapoRatio"] input[type=range]');
  await page.keyboard.press('PageDown');
  assert.equal(await runs(), 3);
  const moved = await scoreTexts(page);
  assert.notDeepEqual(moved, recorded, 'the scores did not follow the slider');
  assert.notDeepEqual(await monthlyColumn('Actual evaporation'), actualBefore);
  assert.deepEqual(await monthlyColumn('Potential evaporation'), potentialBefore);
  assert.match(await page.$eval('.explore-derived', t => t.textContent), /MAX_Infiltration/);
  if (process.env.VELM_EXPLORE_SCREENSHOT) {  // docs/explore.png
    await page.setViewport({ width: 1400, height: 1100 });
    await page.screenshot({ path: process.env.VELM_EXPLORE_SCREENSHOT });
  }
  await page.click('#explore-download');
  const parameters = await downloaded(downloads, 'result-parameters.dat');
  assert.deepEqual(errors, [], 'explore');
  await page.close();

  // velm simulates the catchment with the downloaded file; velm-report's
  // table prints the page's words.
  const run = path.join(work, 'explore-run');
  fs.mkdirSync(run);
  for (const name of ['FILEINFO.dat', 'rain.csv', 'ep.csv', 'runoff.csv']) {
    fs.copyFileSync(path.join(explored, name), path.join(run, name));
  }
  fs.writeFileSync(path.join(run, 'parameters.dat'), parameters);
  const control = fs.readFileSync(path.join(explored, 'control.dat'), 'latin1').split('\r\n');
  control[4] = '0';  // run mode: one simulation
  fs.writeFileSync(path.join(run, 'control.dat'), control.join('\r\n'), 'latin1');
  execFileSync(velm, { cwd: run, stdio: 'ignore' });
  const table = execFileSync(report, ['result.csv'], { cwd: run, encoding: 'utf8' });
  const printed = table.split('\n').slice(1, 1 + moved.length)
    .map(line => line.trim().split(/\s+/).pop());
  assert.deepEqual(moved, printed);
}
await browser.close();
console.log('the pages drew, switched, downloaded, printed and explored');
