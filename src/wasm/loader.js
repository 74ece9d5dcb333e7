// velm's model as WebAssembly, for a page and for Node.js alike: instantiates
// the module (model_interface.h) with no other script and wraps its C
// interface. Every number it hands back comes from the module; this script
// computes none.
var VelmModel = (function () {
  'use strict';

  var fitNames = ['fitDays', 'RMSE', 'RR', 'RE', 'balanceRatio', 'sumRain',
    'sumObserved', 'sumCalculated', 'sumActualE', 'f'];
  var scoreNames = ['fitDays', 'NSE', 'KGE', 'r', 'alpha', 'beta', 'KGEPrime',
    'gamma', 'PBIAS', 'RMSE', 'peakError'];
  var problems = ['', 'no MAX_Infiltration fits the soil values',
    'Impervious 1 with tanks'];

  function instantiate(bytes) {
    var memory = null;
    var imports = {
      // The module's memory grows in place; views are made afresh per call.
      env: { emscripten_notify_memory_growth: function () {} },
      wasi_snapshot_preview1: {
        proc_exit: function (code) { throw new Error('velm model: exit ' + code); }
      }
    };
    return WebAssembly.instantiate(bytes, imports).then(function (result) {
      var c = result.instance.exports;
      memory = c.memory;
      if (c._initialize) c._initialize();
      return new Model(c, memory);
    });
  }

  function Model(c, memory) {
    this.c = c;
    this.memory = memory;
    this.names = [];
    for (var i = 0; i < c.velm_parameter_count(); i++) {
      this.names.push(this.text(c.velm_parameter_name(i)));
    }
    this.fileNames = this.names.slice(0, c.velm_file_parameter_count());
  }
  Model.prototype.doubles = function (pointer, count) {
    return new Float64Array(this.memory.buffer, pointer, count);
  };
  Model.prototype.text = function (pointer) {
    var bytes = new Uint8Array(this.memory.buffer, pointer);
    var end = bytes.indexOf(0);
    return new TextDecoder().decode(bytes.subarray(0, end));
  };
  // forcing: {rain, potentialEvaporation} hourly, {observed} daily totals.
  Model.prototype.session = function (forcing) {
    return new Session(this, forcing);
  };

  function Session(model, forcing) {
    var c = model.c;
    this.model = model;
    this.c = c;
    this.s = c.velm_create(forcing.rain.length);
    var hours = c.velm_hours(this.s), days = c.velm_days(this.s);
    model.doubles(c.velm_rain(this.s), hours).set(forcing.rain);
    model.doubles(c.velm_potential_evaporation(this.s), hours)
      .set(forcing.potentialEvaporation);
    if (forcing.observed) {
      model.doubles(c.velm_observed(this.s), days).set(forcing.observed);
    }
  }
  // run: {surfaceStorage, withObserved, objectiveType, balanceErrorLimit}
  Session.prototype.setRun = function (run) {
    this.c.velm_set_run(this.s, run.surfaceStorage ? 1 : 0,
      run.withObserved ? 1 : 0, run.objectiveType, run.balanceErrorLimit);
  };
  Session.prototype.index = function (name) {
    var i = this.model.names.indexOf(name);
    if (i < 0) throw new Error('velm model: no parameter ' + name);
    return i;
  };
  Session.prototype.get = function (name) {
    return this.c.velm_parameter(this.s, this.index(name));
  };
  // Returns the derivation problem's words, '' when there is none.
  Session.prototype.set = function (name, value) {
    var problem = this.c.velm_set_parameter(this.s, this.index(name), value);
    if (problem < 0) throw new Error('velm model: ' + name + ' cannot be set');
    return problems[problem];
  };
  // tanks: [[CoeffTank, BotomTank], ...] from tank 1.
  Session.prototype.setTanks = function (tanks) {
    var c = this.c, problem = c.velm_set_tank_count(this.s, tanks.length);
    if (problem < 0) throw new Error('velm model: ' + tanks.length + ' tanks');
    for (var i = 0; i < tanks.length; i++) {
      problem = c.velm_set_tank(this.s, i + 1, tanks[i][0], tanks[i][1]);
    }
    return problems[problem];
  };
  Session.prototype.tanks = function () {
    var tanks = [];
    for (var i = 1; i <= this.c.velm_tank_count(this.s); i++) {
      tanks.push([this.c.velm_coeff_tank(this.s, i),
        this.c.velm_botom_tank(this.s, i)]);
    }
    return tanks;
  };
  Session.prototype.brokenRule = function () {
    return this.model.text(this.c.velm_broken_rule(this.s));
  };
  // {text} of the parameter file velm reads back to this set, or {refusal}
  // saying why no parameter file gives it.
  Session.prototype.parameterFile = function () {
    var text = this.model.text(this.c.velm_parameter_file(this.s));
    if (text) return { text: text };
    return { refusal: this.model.text(this.c.velm_parameter_file_refusal(this.s)) };
  };
  // The daily totals, velm's fit and velm-report's scores, copied out; or
  // {problem} when the set cannot be simulated.
  Session.prototype.simulate = function () {
    var c = this.c, s = this.s, model = this.model;
    var problem = c.velm_simulate(s);
    if (problem !== 0) return { problem: problems[problem] };
    var days = c.velm_days(s);
    var copy = function (pointer) { return model.doubles(pointer, days).slice(); };
    var named = function (pointer, names) {
      var values = model.doubles(pointer, names.length), out = {};
      names.forEach(function (name, i) { out[name] = values[i]; });
      return out;
    };
    var texts = {};
    for (var i = 1; i < scoreNames.length; i++) {
      texts[scoreNames[i]] = model.text(c.velm_score_text(s, i));
    }
    return {
      runoff: copy(c.velm_daily_runoff(s)),
      actualEvaporation: copy(c.velm_daily_actual_evaporation(s)),
      rain: copy(c.velm_daily_rain(s)),
      potentialEvaporation: copy(c.velm_daily_potential_evaporation(s)),
      fit: named(c.velm_fit(s), fitNames),
      scores: named(c.velm_scores(s), scoreNames),
      scoreTexts: texts
    };
  };
  Session.prototype.destroy = function () {
    this.c.velm_destroy(this.s);
    this.s = 0;
  };

  return { instantiate: instantiate };
})();

// In a page the module lies base64-encoded in <script id="velm-model">;
// window.velmModel is the promise of the instantiated model.
if (typeof document !== 'undefined') {
  window.velmModel = (function () {
    var text = document.getElementById('velm-model').textContent.trim();
    var binary = atob(text), bytes = new Uint8Array(binary.length);
    for (var i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
    return VelmModel.instantiate(bytes);
  })();
  window.velmModel.then(function () {
    document.body.dataset.modelReady = 'true';
  });
}
