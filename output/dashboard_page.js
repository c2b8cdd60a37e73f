// The dashboard page's script: builds the overview, a point's view or a
// well's view from the run's document (the "zelba-data" element, laid out as
// output/dashboard.cpp describes) when it is opened, and draws the charts
// with uPlot. Figures are shown as the document gives them, text for text;
// they are read as numbers only for the charts.
//
// Views are addressed by the URL fragment: "#p/3" point 3, "#w/12" well 12,
// anything else the overview. "#selftest=NAME" checks the page in a browser
// (a chart for a point and for the well NAME found through the search box)
// and writes the outcome into the element "selftest".
(function () {
  'use strict';

  var D = JSON.parse(document.getElementById('zelba-data').textContent);
  var dates = words(D.dates);
  var dayCount = dates.length;
  var rangeMin = parseFloat(D.rmin);
  var rangeMax = parseFloat(D.rmax);
  var plots = [];     // the charts of the view shown, resized with the window
  var errors = [];    // script errors met, for the self-test

  window.addEventListener('error', function (e) { errors.push(String(e.message)); });

  // ---- small helpers -------------------------------------------------------

  function words(text) { return text === '' ? [] : text.split(' '); }
  function figure(token) { return token === '-' || token === undefined ? null : parseFloat(token); }

  // el('td', {class: 'num'}, 'text', child...): an element with attributes
  // and children; text is always set as text, never parsed as HTML.
  function el(tag, attrs) {
    var node = document.createElement(tag);
    if (attrs) {
      for (var key in attrs) {
        if (attrs[key] !== null && attrs[key] !== undefined) node.setAttribute(key, attrs[key]);
      }
    }
    for (var i = 2; i < arguments.length; i++) add(node, arguments[i]);
    return node;
  }
  function add(node, child) {
    if (child === null || child === undefined) return;
    if (Array.isArray(child)) { child.forEach(function (c) { add(node, c); }); return; }
    node.appendChild(typeof child === 'object' ? child : document.createTextNode(String(child)));
  }
  function pointLink(p) {
    var rec = D.points[p];
    return el('a', { href: '#p/' + p }, rec ? rec[0] : '?');
  }
  function wellLink(w) { return el('a', { href: '#w/' + w }, D.wells[w][0]); }
  function fluidTitle(k) { return D.fluids[k][0]; }
  function units(k) { return D.fluids[k][1]; }
  function monthDay(date) { return date ? date.slice(4, 6) + '-' + date.slice(6, 8) : ''; }

  // A table: head cells (a string, or [text, 'num']) and rows of cells (a
  // value, or {v: value, c: class}); `rowClass(i)` classes a row.
  function table(head, rows, rowClass) {
    var tr = el('tr');
    head.forEach(function (h) {
      var isNum = Array.isArray(h);
      tr.appendChild(el('th', { class: isNum ? 'num' : null }, isNum ? h[0] : h));
    });
    var body = el('tbody');
    rows.forEach(function (row, i) {
      var r = el('tr', { class: rowClass ? rowClass(i) : null });
      row.forEach(function (cell) {
        if (cell && typeof cell === 'object' && 'v' in cell) {
          r.appendChild(el('td', { class: cell.c || null }, cell.v));
        } else {
          r.appendChild(el('td', null, cell));
        }
      });
      body.appendChild(r);
    });
    return el('div', { class: 'wrap' }, el('table', { class: 'grid' }, el('thead', null, tr), body));
  }

  // The first `limit` rows now and the rest at a click: a field of 100,000
  // wells must not build every row at once.
  function limitedTable(head, rows, limit, rowClass) {
    if (rows.length <= limit) return table(head, rows, rowClass);
    var box = el('div', null, table(head, rows.slice(0, limit), rowClass));
    var more = el('button', { class: 'link', type: 'button' }, 'Show all ' + rows.length + ' rows');
    more.addEventListener('click', function () {
      box.replaceChildren(table(head, rows, rowClass));
    });
    box.appendChild(more);
    return box;
  }

  // ---- charts --------------------------------------------------------------

  var colours = {
    accent: '#1f6fb2', bad: '#c0392b', band: 'rgba(46,125,79,0.12)', bandLine: 'rgba(46,125,79,0.55)',
    volume: 'rgba(108,128,150,0.2)', volumeLine: 'rgba(108,128,150,0.9)', allocated: 'rgba(31,111,178,0.55)',
    theoretical: '#e08a1e', hours: 'rgba(31,111,178,0.75)', down: 'rgba(192,57,43,0.35)'
  };

  function dayAxis() {
    return {
      incrs: [1, 2, 5, 7, 10, 14],
      values: function (u, splits) {
        return splits.map(function (v) { return Number.isInteger(v) && dates[v] ? monthDay(dates[v]) : ''; });
      }
    };
  }

  function bars() { return uPlot.paths.bars({ size: [0.7, 36] }); }

  // A series whose legend shows the document's own text for the day.
  function shown(tokens) {
    return function (u, v, s, i) { return i === null || i === undefined || tokens[i] === undefined ? '' : tokens[i]; };
  }

  function chart(box, title, series, data, scales, axes, bands) {
    var width = Math.max(box.clientWidth, 320);
    var opts = {
      title: title,
      width: width,
      height: 240,
      series: [{ label: 'Date', value: function (u, v) { return v === null ? '' : dates[v] || ''; } }].concat(series),
      scales: Object.assign({ x: { time: false, range: [-0.5, dayCount - 0.5] } }, scales),
      axes: [dayAxis()].concat(axes),
      bands: bands || [],
      cursor: { points: { size: 7 } },
      legend: { live: true },
      hooks: { draw: [function (u) { u.root.setAttribute('data-drawn', '1'); }] }
    };
    var x = [];
    for (var i = 0; i < dayCount; i++) x.push(i);
    var plot = new uPlot(opts, [x].concat(data), box);
    plots.push({ plot: plot, box: box });
    return plot;
  }

  // A point's field factor for one fluid, the accepted range as a band, the
  // rejected days marked, and the measured volume as bars.
  function pointChart(box, fluid) {
    var k = fluid[0];
    var measured = words(fluid[1]);
    var factors = words(fluid[2]);
    var codes = words(fluid[3]);
    var ff = factors.map(figure);
    var rejected = ff.map(function (v, i) { return v !== null && codes[i] !== '0' ? v : null; });
    var values = ff.filter(function (v) { return v !== null; });
    var lo = values.length ? Math.min.apply(null, values) : (rangeMin || 0);
    var hi = values.length ? Math.max.apply(null, values) : lo + 1;
    var span = Math.max(hi - lo, 0.05);
    // The range is drawn where it is near the factors; a range of no
    // practical bound would flatten them.
    var top = rangeMax <= hi + 3 * span ? Math.max(hi, rangeMax) : hi;
    var bottom = rangeMin >= lo - 3 * span ? Math.min(lo, rangeMin) : lo;
    var pad = (top - bottom) * 0.08 || 0.1;
    var yMin = bottom - pad;
    var yMax = top + pad;
    var bandTop = Math.min(rangeMax, yMax);
    var bandBottom = Math.max(rangeMin, yMin);
    var constant = function (v) { return dates.map(function () { return v; }); };
    return chart(box, fluidTitle(k) + ' field factor and measured volume', [
      { label: 'Measured (' + units(k) + ')', scale: 'vol', paths: bars(), fill: colours.volume,
        stroke: colours.volumeLine, width: 1, points: { show: false }, value: shown(measured) },
      { label: 'Range max', scale: 'ff', stroke: colours.bandLine, width: 1, dash: [4, 4], points: { show: false },
        value: function () { return D.rmax; } },
      { label: 'Range min', scale: 'ff', stroke: colours.bandLine, width: 1, dash: [4, 4], points: { show: false },
        value: function () { return D.rmin; } },
      { label: 'Field factor', scale: 'ff', stroke: colours.accent, width: 2, spanGaps: true,
        points: { show: true, size: 6, fill: colours.accent }, value: shown(factors) },
      { label: 'Rejected', scale: 'ff', stroke: colours.bad, paths: function () { return null; },
        points: { show: true, size: 11, fill: colours.bad, stroke: colours.bad },
        value: function (u, v, s, i) { return v === null ? '' : 'code ' + codes[i]; } }
    ], [measured.map(figure), constant(bandTop), constant(bandBottom), ff, rejected], {
      ff: { range: [yMin, yMax] },
      vol: { range: function (u, min, max) { return [0, max > 0 ? max * 1.6 : 1]; } }
    }, [
      { scale: 'ff', label: 'Field factor', size: 60 },
      { scale: 'vol', side: 1, label: units(k), grid: { show: false }, size: 70 }
    ], [{ series: [2, 3], fill: colours.band }]);
  }

  // A well's theoretical and allocated volume of one fluid.
  function wellFluidChart(box, fluid) {
    var k = fluid[0];
    var theo = words(fluid[2]);
    var alloc = words(fluid[3]);
    var methods = words(fluid[1]);
    return chart(box, fluidTitle(k) + ': theoretical against allocated (' + units(k) + ')', [
      { label: 'Allocated', paths: bars(), fill: colours.allocated, stroke: colours.accent, width: 1,
        points: { show: false }, value: shown(alloc) },
      { label: 'Theoretical', stroke: colours.theoretical, width: 2, points: { show: true, size: 5, fill: colours.theoretical },
        value: function (u, v, s, i) {
          return i === null || theo[i] === undefined ? '' : theo[i] + ' (' + D.methods[Number(methods[i])] + ')';
        } }
    ], [alloc.map(figure), theo.map(figure)], {
      y: { range: function (u, min, max) { return [Math.min(0, min), max > 0 ? max * 1.1 : 1]; } }
    }, [{ label: units(k), size: 70 }]);
  }

  // Hours on as bars over a faint full day, so that down time stands out.
  function hoursChart(box, hours) {
    var on = hours.map(figure);
    var down = on.map(function (v) { return v !== null && v < 24 ? 24 : null; });
    return chart(box, 'Hours on', [
      { label: 'Down time', paths: bars(), fill: colours.down, stroke: colours.down, width: 0, points: { show: false },
        value: function (u, v, s, i) { return v === null ? '' : (24 - on[i]).toFixed(3) + ' h'; } },
      { label: 'Hours on', paths: bars(), fill: colours.hours, stroke: colours.accent, width: 0, points: { show: false },
        value: shown(hours) }
    ], [down, on], { y: { range: [0, 24] } }, [{ label: 'hours', size: 60, incrs: [6] }]);
  }

  window.addEventListener('resize', function () {
    plots.forEach(function (p) {
      if (p.box.isConnected) p.plot.setSize({ width: Math.max(p.box.clientWidth, 320), height: 240 });
    });
  });

  // ---- the views -----------------------------------------------------------

  var view;
  var side;

  function clearView() {
    plots.forEach(function (p) { p.plot.destroy(); });
    plots = [];
    view.replaceChildren();
    window.scrollTo(0, 0);
  }

  function card(label, value, cls) {
    return el('div', { class: 'card' + (cls ? ' ' + cls : '') }, el('div', { class: 'label' }, label),
      el('div', { class: 'value' }, value));
  }

  // The figure of a diagnostic, in the diagnostics table's words.
  function diagnosticDetail(d) {
    var kind = d[0];
    var v = d[7];
    switch (kind) {
      case 2: return '(factor ' + v + ', code ' + d[8] + ')';
      case 4: return '(factor ' + v + ')';
      case 3: case 5: case 6: return '(' + v + ')';
      case 8: return '(' + v + ' days)';
      case 11: return '(on ' + v + ' days)';
      case 12: return '(on ' + v + ' days from this one)';
      default: return '';
    }
  }

  function diagnosticWhere(d) {
    if (d[2] > 0) return 'line ' + d[2] + (d[3] ? ' ' + d[3] : '');
    if (d[10] >= 0) return wellLink(d[10]);
    if (d[9] >= 0) return pointLink(d[9]);
    return d[4] || d[3];
  }

  function showOverview() {
    clearView();
    var total = D.kinds.reduce(function (s, k) { return s + k[1]; }, 0);
    add(view, [
      el('h1', null, 'Allocation overview'),
      el('p', { class: 'sub' }, D.h.filter(function (h) { return h; }).join(' \u00b7 ')),
      el('div', { class: 'cards' },
        card('Period', D.start + ' \u2013 ' + D.end, 'wide'),
        card('Mode', D.mode),
        card('Points of measurement', D.points.length),
        card('Wells', D.wells.length),
        card('Exceptions', total, total > 0 ? 'bad' : null))
    ]);

    view.appendChild(el('h2', null, 'Network totals'));
    view.appendChild(table(['Fluid', 'Units', ['Theoretical'], ['Allocated'], ['Factor'], ['Measured, not allocated']],
      D.totals.map(function (t) {
        var left = parseFloat(t[4]) > 0 && !D.fluids[t[0]][2];
        return [fluidTitle(t[0]), units(t[0]), { v: t[1], c: 'num' }, { v: t[2], c: 'num' }, { v: t[3], c: 'num' },
          { v: left ? t[4] : '\u2013', c: left ? 'num bad' : 'num' }];
      })));

    view.appendChild(el('h2', null, 'Points of measurement'));
    var rows = [];
    D.points.forEach(function (p, i) {
      p[6].forEach(function (f) {
        var rejected = words(f[3]).filter(function (c) { return c !== '-' && c !== '0'; }).length;
        rows.push([pointLink(i), p[1], fluidTitle(f[0]), { v: f[4], c: 'num' }, { v: f[5], c: 'num' },
          { v: f[6], c: 'num' }, { v: f[7], c: 'num' },
          { v: rejected ? el('span', { class: 'tag bad' }, rejected + ' rejected') : el('span', { class: 'tag ok' }, 'none'), c: 'num' }]);
      });
    });
    view.appendChild(rows.length
      ? limitedTable(['Point', 'Level', 'Fluid', ['Measured'], ['Theoretical (base)'], ['Allocated'],
        ['Field factors'], ['Rejected days']], rows, 300)
      : el('p', { class: 'empty' }, 'No measured fluid.'));

    view.appendChild(el('h2', { id: 'exceptions' }, 'Allocation exceptions'));
    if (total === 0) view.appendChild(el('p', { class: 'empty' }, 'The run recorded no exception.'));
    D.kinds.forEach(function (k, kind) {
      if (k[1] === 0) return;
      var records = D.diags.filter(function (d) { return d[0] === kind; });
      view.appendChild(el('div', { class: 'kind-head' }, el('h3', null, k[0]),
        el('span', { class: 'tag ' + (kind === 4 ? 'warn' : 'bad') }, String(k[1])),
        k[2] < k[1] ? el('span', { class: 'tag' }, (k[1] - k[2]) + ' more counted but not kept') : null));
      view.appendChild(limitedTable(['Where', 'Fluid', 'Date', 'What', ['Figure']], records.map(function (d) {
        return [diagnosticWhere(d), d[5], d[6], d[1], { v: diagnosticDetail(d), c: 'num' }];
      }), 100));
    });
    markSide(null);
  }

  function showPoint(p) {
    var rec = D.points[p];
    if (!rec) return showOverview();
    clearView();
    var memberWells = words(rec[3]).map(Number);
    var memberPoints = words(rec[4]).map(Number);
    add(view, [
      el('h1', null, el('span', { class: 'lvl' }, rec[1]), rec[0]),
      el('p', { class: 'sub' }, 'Point of measurement' + (rec[2] ? ', stage ' + rec[2] : '') + ' \u00b7 ' +
        (memberWells.length + memberPoints.length + rec[5].length) + ' members \u00b7 accepted field factors ' +
        D.rmin + ' to ' + D.rmax)
    ]);
    var charts = el('div', { class: 'charts two' });
    view.appendChild(charts);
    rec[6].forEach(function (f) {
      var box = el('div', { class: 'chart' });
      var panel = el('div', { class: 'panel' },
        el('h3', null, fluidTitle(f[0]), el('span', { class: 'units' }, units(f[0]))),
        el('div', { class: 'figures' },
          el('span', null, 'Measured ', el('b', null, f[4])),
          el('span', null, 'Theoretical (base) ', el('b', null, f[5])),
          el('span', null, 'Allocated ', el('b', null, f[6])),
          el('span', null, 'Field factors ', el('b', null, f[7]))),
        box);
      charts.appendChild(panel);
      pointChart(box, f);
    });
    if (!rec[6].length) view.appendChild(el('p', { class: 'empty' }, 'No measured fluid at this point.'));

    view.appendChild(el('h2', null, 'Members'));
    var chips = el('div', { class: 'chips' });
    memberPoints.forEach(function (m) { chips.appendChild(pointLink(m)); });
    memberWells.slice(0, 500).forEach(function (m) { chips.appendChild(wellLink(m)); });
    rec[5].forEach(function (name) { chips.appendChild(el('span', { class: 'tag' }, name)); });
    view.appendChild(chips);
    if (memberWells.length > 500) {
      view.appendChild(el('p', { class: 'sub' }, (memberWells.length - 500) + ' more wells: use the search box.'));
    }

    if (rec[6].length) {
      var head = ['Date'];
      rec[6].forEach(function (f) {
        var n = fluidTitle(f[0]);
        head.push([n + ' measured'], [n + ' field factor'], [n + ' code']);
      });
      var series = rec[6].map(function (f) { return [words(f[1]), words(f[2]), words(f[3])]; });
      var rows = dates.map(function (date, i) {
        var row = [date];
        series.forEach(function (s) {
          var bad = s[2][i] !== '-' && s[2][i] !== '0';
          row.push({ v: s[0][i], c: 'num' }, { v: s[1][i], c: bad ? 'num bad' : 'num' }, { v: s[2][i], c: 'num' });
        });
        return row;
      });
      var days = el('details', null, el('summary', null, 'Day figures'), table(head, rows));
      view.appendChild(el('h2', null, 'Days'));
      view.appendChild(days);
    }
    markSide(p);
  }

  // The runs of days a well flows to one point: [point, first day, last day].
  function routing(route) {
    var runs = [];
    route.forEach(function (p, i) {
      var last = runs[runs.length - 1];
      if (last && last[0] === p) last[2] = i; else runs.push([p, i, i]);
    });
    return runs;
  }

  function showWell(w) {
    var rec = D.wells[w];
    if (!rec) return showOverview();
    clearView();
    var hours = words(rec[2]);
    var route = words(rec[3]);
    var runs = routing(route);
    var downDays = hours.filter(function (h) { return parseFloat(h) < 24; }).length;
    add(view, [
      el('h1', null, el('span', { class: 'lvl' }, rec[1]), rec[0]),
      el('p', { class: 'sub' }, downDays ? downDays + ' day(s) with down time' : 'On production every day')
    ]);
    var flow = el('div', { class: 'figures' }, el('span', null, 'Routing:'));
    runs.forEach(function (r, i) {
      flow.appendChild(el('span', null, i ? '\u2192 ' : '', r[0] === '-' ? 'no point' : pointLink(Number(r[0])),
        ' ', dates[r[1]] + (r[2] > r[1] ? ' \u2013 ' + dates[r[2]] : '')));
    });
    view.appendChild(flow);
    view.appendChild(el('div', { class: 'cards' }, rec[4].map(function (f) {
      return el('div', { class: 'card' }, el('div', { class: 'label' }, fluidTitle(f[0]) + ' (' + units(f[0]) + ')'),
        el('div', { class: 'value' }, f[5], el('span', { class: 'of' }, ' allocated')),
        el('div', { class: 'of' }, 'theoretical ' + f[4]));
    })));

    var charts = el('div', { class: 'charts two' });
    view.appendChild(charts);
    rec[4].forEach(function (f) {
      var box = el('div', { class: 'chart' });
      charts.appendChild(el('div', { class: 'panel' }, box));
      wellFluidChart(box, f);
    });
    var hoursBox = el('div', { class: 'chart' });
    charts.appendChild(el('div', { class: 'panel' }, hoursBox));
    hoursChart(hoursBox, hours);

    view.appendChild(el('h2', null, 'Days'));
    var head = ['Date', ['Hours on'], 'Point'];
    rec[4].forEach(function (f) {
      var n = fluidTitle(f[0]);
      head.push(n + ' method', [n + ' theoretical'], [n + ' allocated']);
    });
    var fluids = rec[4].map(function (f) { return [words(f[1]), words(f[2]), words(f[3])]; });
    var rows = dates.map(function (date, i) {
      var p = route[i];
      var row = [date, { v: hours[i], c: 'num' }, p === '-' ? '' : pointLink(Number(p))];
      fluids.forEach(function (s) {
        row.push(D.methods[Number(s[0][i])], { v: s[1][i], c: 'num' }, { v: s[2][i], c: 'num' });
      });
      return row;
    });
    view.appendChild(table(head, rows, function (i) {
      var cls = parseFloat(hours[i]) < 24 ? 'down' : '';
      if (i > 0 && route[i] !== route[i - 1]) cls += ' change';
      return cls || null;
    }));
    markSide(runs.length && runs[0][0] !== '-' ? Number(runs[0][0]) : null);
  }

  function show() {
    var hash = location.hash;
    var m = /^#([pw])\/(\d+)$/.exec(hash);
    if (m && m[1] === 'p') showPoint(Number(m[2]));
    else if (m) showWell(Number(m[2]));
    else showOverview();
  }

  // ---- side list and search ------------------------------------------------

  var sideLinks = [];
  var kSideLimit = 1000;

  function buildSide() {
    add(side, [el('h3', null, 'Run'), el('a', { href: '#' }, 'Overview'),
      el('a', { href: '#exceptions' }, 'Allocation exceptions'),
      el('h3', null, 'Points of measurement')]);
    D.points.slice(0, kSideLimit).forEach(function (p, i) {
      var a = el('a', { href: '#p/' + i, title: p[0] }, p[0], el('span', { class: 'lvl' }, p[1]));
      sideLinks.push(a);
      side.appendChild(a);
    });
    if (D.points.length > kSideLimit) {
      side.appendChild(el('div', { class: 'more' }, (D.points.length - kSideLimit) + ' more: use the search box'));
    }
  }

  function markSide(p) {
    sideLinks.forEach(function (a, i) { a.classList.toggle('current', i === p); });
  }

  var searchNames = null;  // lower-cased names, made at the first search

  function search(query) {
    if (!searchNames) {
      searchNames = {
        points: D.points.map(function (p) { return p[0].toLowerCase(); }),
        wells: D.wells.map(function (w) { return w[0].toLowerCase(); })
      };
    }
    var q = query.trim().toLowerCase();
    var exact = [];
    var starts = [];
    var within = [];
    var limit = 50;
    function look(names, kind) {
      for (var i = 0; i < names.length && exact.length + starts.length < limit; i++) {
        var n = names[i];
        var at = n.indexOf(q);
        if (at < 0) continue;
        var hit = [kind, i];
        if (n === q) exact.push(hit); else if (at === 0) starts.push(hit); else if (within.length < limit) within.push(hit);
      }
    }
    look(searchNames.points, 'p');
    look(searchNames.wells, 'w');
    return exact.concat(starts, within).slice(0, limit);
  }

  function buildSearch(box) {
    var input = el('input', { type: 'search', id: 'search', placeholder: 'Find a well or point\u2026',
      'aria-label': 'Find a well or point', autocomplete: 'off' });
    var results = el('div', { class: 'results', id: 'search-results', hidden: '' });
    add(box, [input, results]);
    var active = 0;
    function refresh() {
      results.replaceChildren();
      active = 0;
      if (!input.value.trim()) { results.hidden = true; return; }
      var hits = search(input.value);
      hits.forEach(function (h, i) {
        var rec = h[0] === 'p' ? D.points[h[1]] : D.wells[h[1]];
        var a = el('a', { href: '#' + h[0] + '/' + h[1], class: i === 0 ? 'active' : null },
          el('span', null, rec[0]), el('span', { class: 'kind' }, h[0] === 'p' ? 'point \u00b7 ' + rec[1] : rec[1]));
        results.appendChild(a);
      });
      if (!hits.length) results.appendChild(el('div', { class: 'none' }, 'No well or point of that name'));
      results.hidden = false;
    }
    function move(step) {
      var links = results.querySelectorAll('a');
      if (!links.length) return;
      links[active].classList.remove('active');
      active = (active + step + links.length) % links.length;
      links[active].classList.add('active');
      links[active].scrollIntoView({ block: 'nearest' });
    }
    input.addEventListener('input', refresh);
    input.addEventListener('keydown', function (e) {
      if (e.key === 'ArrowDown') { move(1); e.preventDefault(); }
      if (e.key === 'ArrowUp') { move(-1); e.preventDefault(); }
      if (e.key === 'Escape') { results.hidden = true; }
      if (e.key === 'Enter') {
        var link = results.querySelectorAll('a')[active];
        if (link) link.click();
      }
    });
    results.addEventListener('click', function (e) {
      if (e.target.closest('a')) { results.hidden = true; input.blur(); }
    });
    document.addEventListener('click', function (e) {
      if (!box.contains(e.target)) results.hidden = true;
    });
    return input;
  }

  // ---- the page ------------------------------------------------------------

  var app = document.getElementById('app');
  var searchBox = el('div', { class: 'search' });
  app.replaceChildren(
    el('header', { class: 'top' },
      el('div', { class: 'brand' }, 'ZelBA', el('span', null, 'allocation')),
      el('div', { class: 'run-title' }, D.h.filter(function (h) { return h; })[0] || ''),
      el('div', { class: 'run-period' }, D.start + ' \u2013 ' + D.end + ' \u00b7 ' + D.mode),
      searchBox),
    el('div', { class: 'frame' }, side = el('nav', { class: 'side' }), view = el('main', { class: 'view' })));
  var searchInput = buildSearch(searchBox);
  buildSide();

  var selftest = /^#selftest=(.*)$/.exec(location.hash);
  if (selftest) {
    runSelfTest(decodeURIComponent(selftest[1]));
  } else {
    window.addEventListener('hashchange', function () {
      if (location.hash !== '#exceptions') show();
      else document.getElementById('exceptions') || show();
    });
    if (location.hash === '#exceptions') showOverview(); else show();
  }

  // ---- the self-test -------------------------------------------------------

  // Whether a chart of the view was drawn: uPlot ran its draw hook and the
  // canvas holds painted pixels.
  function drawnCharts() {
    var count = 0;
    view.querySelectorAll('.uplot[data-drawn] canvas').forEach(function (canvas) {
      var pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
      for (var i = 3; i < pixels.length; i += 4 * 97) { if (pixels[i] > 0) { count++; return; } }
    });
    return count;
  }

  function runSelfTest(wellName) {
    var out = el('pre', { id: 'selftest' });
    document.body.appendChild(out);
    var fails = [];
    var notes = [];
    function check(ok, what) { (ok ? notes : fails).push(what); }
    function later(step) { setTimeout(step, 30); }

    showOverview();
    check(view.querySelectorAll('table.grid').length >= 2, 'overview tables');
    var point = D.points.findIndex(function (p) { return p[6].length > 0; });
    check(point >= 0, 'a point with a measured fluid');
    showPoint(point);
    later(function () {
      var pointCharts = drawnCharts();
      check(pointCharts > 0, 'point charts drawn: ' + pointCharts);
      searchInput.value = wellName;
      searchInput.dispatchEvent(new Event('input'));
      var hit = Array.prototype.find.call(document.querySelectorAll('#search-results a'), function (a) {
        return a.getAttribute('href').indexOf('#w/') === 0 && a.firstChild.textContent === wellName;
      });
      check(!!hit, 'search finds well ' + wellName);
      if (hit) {
        location.hash = hit.getAttribute('href');
        showWell(Number(hit.getAttribute('href').slice(3)));
      }
      later(function () {
        var h1 = view.querySelector('h1');
        check(!!h1 && h1.textContent.indexOf(wellName) >= 0, 'well view opened');
        var wellCharts = drawnCharts();
        check(wellCharts >= 2, 'well charts drawn: ' + wellCharts);
        var resources = performance.getEntriesByType('resource').length;
        check(resources === 0, 'network requests: ' + resources);
        check(errors.length === 0, 'script errors: ' + errors.join('; '));
        out.textContent = (fails.length ? 'SELFTEST FAIL: ' + fails.join(' | ') : 'SELFTEST PASS') +
          '\n' + notes.join('\n');
      });
    });
  }
})();
