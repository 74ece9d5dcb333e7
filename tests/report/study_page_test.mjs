// Drives velm-study's page in headless Chromium: every chart draws without a
// script error, the catchment list switches catchment, and a dotty plot's
// points are the valid starts' parameter values and f of study.csv.
//   node study_page_test.mjs OUT CHROMIUM   (OUT holds study.html, study.csv)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [out, executablePath] = process.argv.slice(2);
const browser = await puppeteer.launch({
  executablePath,
  pipe: true,
  userDataDir: fs.mkdtempSync(path.join(out, 'profile-')),
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const page = await browser.newPage();
const errors = [];
page.on('pageerror', error => errors.push(error.message));
await page.goto(`file://${path.resolve(out, 'study.html')}`);
const allDrawn = () => page.waitForFunction(() => document.body.dataset.chartsDrawn &&
  document.body.dataset.chartsDrawn === document.body.dataset.chartsExpected);
await allDrawn();

const [header, ...rows] = fs.readFileSync(path.join(out, 'study.csv'), 'utf8')
  .trim().split('\n').map(line => line.split(','));
const column = name => header.indexOf(name);
const catchments = [...new Set(rows.filter(r => r[column('valid')] === 'yes')
  .map(r => r[column('catchment')]))];
assert.ok(catchments.length >= 2, 'two catchments with valid starts');
assert.equal(await page.$$eval('#catchment option', options => options.length),
  catchments.length);
assert.equal(await page.$eval('#catchments', t => t.rows.length), 1 + new Set(
  rows.map(r => r[column('catchment')])).size);

for (const name of [catchments[1], catchments[0]]) {
  await page.select('#catchment', String(catchments.indexOf(name)));
  await page.waitForFunction(n => document.body.dataset.catchment === n, {}, name);
  await allDrawn();
  const parameter = header[column('reason') + 1];
  const expected = rows.filter(r => r[column('catchment')] === name &&
    r[column('period')] === 'calibration' && r[column('valid')] === 'yes')
    .map(r => [Number(r[column(parameter)]), Number(r[column('final_f')])])
    .sort((a, b) => a[0] - b[0]);
  const points = await page.evaluate(() => {
    const g = velmStudy.charts.dotty[0];
    return Array.from({ length: g.numRows() }, (_, i) => [g.getValue(i, 0), g.getValue(i, 1)]);
  });
  assert.deepEqual(points, expected, `${name}: ${parameter} against f`);
  assert.equal(await page.$$eval('#dotty .dygraph-title', t => t[0].textContent), parameter);
  // The band holds the best start's validation runoff of every day.
  const band = await page.evaluate(() => {
    const g = velmStudy.charts.hydrograph;
    return Array.from({ length: g.numRows() }, (_, i) => g.getValue(i, 1));
  });
  assert.ok(band.length > 30 && band.every(([low, best, high]) => low <= best && best <= high),
    `${name}: the band`);
  assert.equal(await page.$eval('#spread', t => t.rows.length), 2 + header.length -
    column('reason') - 1);
}
assert.deepEqual(errors, []);
assert.equal(await page.evaluate(() => document.documentElement.dataset.scriptError), undefined);
await browser.close();
console.log('the study page drew, switched catchment and showed the starts');
