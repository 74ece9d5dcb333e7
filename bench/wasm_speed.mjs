// Times re-simulations of the WebAssembly model (see bench/wasm-speed): the
// first record and parameter set that velm_wasm_agreement writes, repeated to
// 1 and 10 years.
//   node wasm_speed.mjs LOADER.js MODULE.wasm < tests.jsonl
import fs from 'node:fs';
import vm from 'node:vm';

const [loaderPath, modulePath] = process.argv.slice(2);
vm.runInThisContext(fs.readFileSync(loaderPath, 'utf8'));
const model = await VelmModel.instantiate(fs.readFileSync(modulePath));
const [forcingLine, testLine] = fs.readFileSync(0, 'utf8').split('\n');
const view = new DataView(new ArrayBuffer(8));
const fromHex = (hex) => { view.setBigUint64(0, BigInt('0x' + hex)); return view.getFloat64(0); };
const { forcing } = JSON.parse(forcingLine);
const test = JSON.parse(testLine);

const repeated = (list, times) => {
  const one = Float64Array.from(list, fromHex), out = new Float64Array(one.length * times);
  for (let k = 0; k < times; k++) out.set(one, k * one.length);
  return out;
};
for (const years of [1, 10]) {
  const session = model.session({ rain: repeated(forcing.rain, years),
    potentialEvaporation: repeated(forcing.potentialEvaporation, years),
    observed: repeated(forcing.observed, years) });
  session.setRun({ surfaceStorage: false, withObserved: true, objectiveType: 1, balanceErrorLimit: 0.1 });
  model.fileNames.forEach((name, i) => session.set(name, fromHex(test.parameters[i])));
  session.setTanks(test.tanks.map((tank) => tank.map(fromHex)));
  const base = session.get('MAX_EvapoRatio'), times = [];
  for (let run = 0; run < 36; run++) {
    const started = performance.now();
    session.set('MAX_EvapoRatio', base * (1 - run / 100));
    const result = session.simulate();
    if (result.runoff.length !== forcing.observed.length * years) throw new Error('short result');
    if (run >= 5) times.push(performance.now() - started);
  }
  session.destroy();
  times.sort((a, b) => a - b);
  console.log(`${years} year${years > 1 ? 's' : ''} (${forcing.rain.length * years} hours): ` +
    `median ${times[15].toFixed(2)} ms per re-simulation (fastest ${times[0].toFixed(2)}, slowest ${times[30].toFixed(2)})`);
}
