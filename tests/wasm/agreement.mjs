// Runs the WebAssembly module, through the page's own loader, on every test
// that velm_wasm_agreement wrote (JSON lines on standard input) and compares
// its outputs with the native ones: daily runoff and actual evaporation,
// velm's fit, velm-report's scores and their printed words, the broken
// ordering rule. Prints the figures, and fails when a result file disagrees
// with the native outputs or the figures differ from the recorded line.
//   node agreement.mjs LOADER.js MODULE.wasm AGREEMENT.txt < tests.jsonl
import fs from 'node:fs';
import readline from 'node:readline';
import vm from 'node:vm';

const [loaderPath, modulePath, agreementPath] = process.argv.slice(2);
vm.runInThisContext(fs.readFileSync(loaderPath, 'utf8'));
const model = await VelmModel.instantiate(fs.readFileSync(modulePath));

const view = new DataView(new ArrayBuffer(8));
const bitsOf = (x) => { view.setFloat64(0, x); return view.getBigUint64(0); };
const fromHex = (hex) => { view.setBigUint64(0, BigInt('0x' + hex)); return view.getFloat64(0); };
const doubles = (list) => Float64Array.from(list, fromHex);

// The distance in units in the last place; Infinity across signs or NaN.
function ulps(a, b) {
  if (Number.isNaN(a) || Number.isNaN(b)) return Number.isNaN(a) && Number.isNaN(b) ? 0 : Infinity;
  if (a === b) return Number(bitsOf(a) === bitsOf(b) ? 0n : 1n);
  if (Math.sign(a) !== Math.sign(b)) return Infinity;
  const d = bitsOf(a) - bitsOf(b);
  return Number(d < 0n ? -d : d);
}
// Six significant digits, as velm prints a number.
const printed = (x) => (Number.isFinite(x) ? x.toPrecision(6) : String(x));

let forcing = null;
const totals = { tests: 0, identical: 0, values: 0, differing: 0, printedDiffering: 0, largest: 0, failures: [] };
const kinds = ['daily runoff', 'daily actual evaporation', 'fit', 'scores'];
const byKind = kinds.map(() => ({ values: 0, differing: 0, largest: 0 }));
for await (const line of readline.createInterface({ input: process.stdin })) {
  const item = JSON.parse(line);
  if (item.forcing) {
    forcing = {
      rain: doubles(item.forcing.rain),
      potentialEvaporation: doubles(item.forcing.potentialEvaporation),
      observed: doubles(item.forcing.observed)
    };
    continue;
  }
  if (!['same', 'none'].includes(item.resultFile)) {
    totals.failures.push(`${item.test}: the native outputs and velm's result file: ${item.resultFile}`);
  }
  const session = model.session(forcing);
  const [surfaceStorage, withObserved, objectiveType, limit] = item.run;
  session.setRun({ surfaceStorage, withObserved, objectiveType, balanceErrorLimit: fromHex(limit) });
  model.fileNames.forEach((name, i) => session.set(name, fromHex(item.parameters[i])));
  session.setTanks(item.tanks.map((tank) => tank.map(fromHex)));
  const brokenRule = session.brokenRule();
  const got = session.simulate();
  session.destroy();
  totals.tests++;
  const native = item.native;
  if (native === null || got.problem !== undefined) {
    if (native !== null || got.problem === undefined) totals.failures.push(`${item.test}: only one side simulated`);
    else totals.identical++;
    continue;
  }
  let same = brokenRule === native.brokenRule &&
    native.scoreTexts.every((text, k) => text === Object.values(got.scoreTexts)[k]);
  const pairs = [[got.runoff, native.runoff], [got.actualEvaporation, native.actualEvaporation],
    [Object.values(got.fit), native.fit], [Object.values(got.scores), native.scores]];
  pairs.forEach(([mine, theirs], kind) => {
    theirs.forEach((hex, k) => {
      const distance = ulps(mine[k], fromHex(hex));
      totals.values++;
      byKind[kind].values++;
      if (distance === 0) return;
      same = false;
      totals.differing++;
      byKind[kind].differing++;
      byKind[kind].largest = Math.max(byKind[kind].largest, distance);
      totals.largest = Math.max(totals.largest, distance);
      if (printed(mine[k]) !== printed(fromHex(hex))) totals.printedDiffering++;
    });
  });
  if (same) totals.identical++;
}

const figures = `bit for bit identical on ${totals.identical} of ${totals.tests} tests; ` +
  `${totals.differing} of ${totals.values} values differ, by at most ${totals.largest} ulp, ` +
  `${totals.printedDiffering} of them in the six digits velm prints`;
console.log(`WebAssembly against native: ${figures}`);
kinds.forEach((kind, i) => console.log(`  ${kind}: ${byKind[i].differing} of ${byKind[i].values} ` +
  `values differ, by at most ${byKind[i].largest} ulp`));
const recorded = fs.readFileSync(agreementPath, 'utf8').trim();
if (recorded !== figures) totals.failures.push(`${agreementPath} says "${recorded}"`);
for (const failure of totals.failures) console.log(`FAIL: ${failure}`);
process.exit(totals.failures.length === 0 && totals.tests > 0 ? 0 : 1);
