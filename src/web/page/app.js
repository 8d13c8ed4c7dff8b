// SPDX-License-Identifier: GPL-3.0-or-later
// The web console's page: everything from the station is put in as text (textContent, input
// values), never as markup.
'use strict';

(function () {
  const $ = (id) => document.getElementById(id);
  let token = '';
  let socket = null;
  let retry = 1000;
  let passwordTyped = false;

  function setStatus(text) { $('status').textContent = text; }

  async function api(path, body) {
    const init = { method: body === undefined ? 'GET' : 'POST', credentials: 'same-origin',
      headers: {} };
    if (body !== undefined) {
      init.headers['Content-Type'] = 'application/json';
      init.headers['X-Zeltaro-Token'] = token;
      init.body = JSON.stringify(body);
    }
    const r = await fetch(path, init);
    let data = {};
    try { data = await r.json(); } catch (e) { data = {}; }
    if (r.status === 401 && path !== '/api/login') showLogin(data.passwordNeeded !== false);
    return { status: r.status, data: data };
  }

  function showLogin(passwordNeeded) {
    token = '';
    if (socket) { socket.onclose = null; socket.close(); socket = null; }
    $('station').hidden = true;
    $('logout').hidden = true;
    if (!passwordNeeded) { login(''); return; }
    $('loginSection').hidden = false;
    $('password').focus();
  }

  async function login(password) {
    const r = await api('/api/login', { password: password });
    if (r.status === 200) {
      $('loginError').textContent = '';
      $('password').value = '';
      $('loginSection').hidden = true;
      await load();
    } else if (r.status === 429) {
      $('loginError').textContent = 'パスワードを5回まちがえたため、1分間ログインできません。';
    } else {
      $('loginError').textContent = 'パスワードがちがいます。';
    }
  }

  async function load() {
    const r = await api('/api/state');
    if (r.status !== 200) return;
    token = r.data.token;
    $('station').hidden = false;
    $('logout').hidden = false;
    showLive(r.data.live);
    showLists(r.data.lists);
    showSetup(r.data.setup);
    const events = $('events');
    events.textContent = (r.data.events || []).join('\n');
    connect();
  }

  function connect() {
    if (socket) return;
    const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
    socket = new WebSocket(scheme + location.host + '/ws');
    socket.onopen = () => { retry = 1000; setStatus('接続中'); };
    socket.onmessage = (e) => {
      let m;
      try { m = JSON.parse(e.data); } catch (err) { return; }
      if (m.type === 'live') showLive(m);
      else if (m.type === 'event') appendEvent(m.line);
      else if (m.type === 'pagetest') showPageTest(m);
    };
    socket.onclose = () => {
      socket = null;
      setStatus('切断されました。再接続します…');
      setTimeout(async () => {
        const r = await api('/api/state');
        if (r.status === 200) { token = r.data.token; showLive(r.data.live); connect(); }
      }, retry);
      retry = Math.min(retry * 2, 30000);
    };
  }

  function appendEvent(line) {
    const events = $('events');
    events.textContent = events.textContent ? events.textContent + '\n' + line : line;
  }

  function showLive(s) {
    if (!s) return;
    $('log').textContent = (s.log || []).join('\n');
    const names = ['全体', 'リスト1', 'リスト2', 'リスト3'];
    (s.lamps || []).forEach((on, i) => {
      const lamp = $('lamp' + i);
      lamp.classList.toggle('on', !!on);
      lamp.setAttribute('aria-label', names[i] + (on ? ' 新着あり' : ' 消灯'));
    });
    (s.counters || []).forEach((c, i) => { $('counter' + (i + 1)).textContent = c; });
    document.querySelectorAll('.pageSwitch').forEach((box) => {
      box.checked = !!(s.pages || [])[Number(box.dataset.page) - 1];
    });
    document.querySelectorAll('input[name=interval]').forEach((r) => {
      r.checked = Number(r.value) === s.interval;
    });
    $('alertSwitch').checked = !!s.alert;
    $('mailSwitch').checked = !!s.mail;
    $('checking').hidden = !s.checking;
  }

  function showPageTest(m) {
    const summary = m.error !== undefined
      ? 'URL' + m.page + ' を読めません: ' + m.error
      : 'URL' + m.page + ': ' + m.count + ' 件 (表示 ' + m.records.length + ' 件)';
    $('testerSummary').textContent = summary;
    const problems = $('testerProblems');
    problems.replaceChildren();
    (m.problems || []).forEach((p) => {
      const li = document.createElement('li');
      li.textContent = p;
      problems.appendChild(li);
    });
    const body = $('testerTable').tBodies[0];
    body.replaceChildren();
    (m.records || []).forEach((r, i) => {
      const tr = document.createElement('tr');
      [String(i + 1), r.line, (r.lists || []).join(' ')].forEach((text) => {
        const td = document.createElement('td');
        td.textContent = text;
        tr.appendChild(td);
      });
      body.appendChild(tr);
    });
  }

  function showLists(lists) {
    (lists || []).forEach((l, i) => {
      const n = i + 1;
      $('list' + n).value = l.text;
      (l.urls || []).forEach((on, u) => { $('list' + n + 'url' + (u + 1)).checked = !!on; });
    });
  }

  function showSetup(setup) {
    if (!setup) return;
    document.querySelectorAll('[data-setting]').forEach((el) => {
      const v = setup[el.id];
      if (v === undefined) return;
      if (el.type === 'checkbox') el.checked = !!v; else el.value = v;
    });
    const pass = $('edtSmtpPASS');
    pass.value = '';
    pass.placeholder = setup.passwordSet ? '••••••••' : '';
    passwordTyped = false;
  }

  async function act(action, body, done) {
    const r = await api('/api/' + action, body || {});
    if (r.status >= 400) setStatus('エラー: ' + (r.data.error || r.status));
    else if (r.data.live) showLive(r.data.live);
    if (done) done(r);
  }

  function savedText(r) {
    if (r.status >= 400) return 'エラー: ' + (r.data.error || r.status);
    return r.data.saved ? '保存しました。' : '保存できませんでした: ' + (r.data.reason || '');
  }

  document.addEventListener('DOMContentLoaded', () => {
    $('loginForm').addEventListener('submit', (e) => { e.preventDefault(); login($('password').value); });
    $('logout').addEventListener('click', () => act('logout', {}, () => showLogin(true)));
    $('resetLamps').addEventListener('click', () => act('lamps'));
    $('clear').addEventListener('click', () => act('clear'));
    document.querySelectorAll('button.check').forEach((b) => {
      b.addEventListener('click', () => act('check', { page: Number(b.dataset.page) }));
    });
    document.querySelectorAll('.pageSwitch').forEach((box) => {
      box.addEventListener('change', () => act('switch', { name: 'page' + box.dataset.page, on: box.checked }));
    });
    document.querySelectorAll('input[name=interval]').forEach((r) => {
      r.addEventListener('change', () => act('interval', { minutes: Number(r.value) }));
    });
    $('alertSwitch').addEventListener('change', (e) => act('switch', { name: 'alert', on: e.target.checked }));
    $('mailSwitch').addEventListener('change', (e) => act('switch', { name: 'mail', on: e.target.checked }));
    $('listsForm').addEventListener('submit', (e) => {
      e.preventDefault();
      const lists = [1, 2, 3].map((n) => ({
        text: $('list' + n).value,
        urls: [1, 2, 3].map((u) => $('list' + n + 'url' + u).checked),
      }));
      act('lists', { lists: lists }, (r) => {
        $('listsResult').textContent = savedText(r);
        if (r.data.lists) showLists(r.data.lists);
      });
    });
    $('edtSmtpPASS').addEventListener('input', () => { passwordTyped = true; });
    $('setupForm').addEventListener('submit', (e) => {
      e.preventDefault();
      const settings = {};
      document.querySelectorAll('[data-setting]').forEach((el) => {
        settings[el.id] = el.type === 'checkbox' ? el.checked : el.value;
      });
      if (passwordTyped) settings.edtSmtpPASS = $('edtSmtpPASS').value;
      act('setup', { settings: settings }, (r) => {
        $('setupResult').textContent = savedText(r);
        if (r.data.setup) showSetup(r.data.setup);
      });
    });
    $('testerForm').addEventListener('submit', (e) => {
      e.preventDefault();
      $('testerSummary').textContent = '取得中…';
      act('pagetest', { page: Number($('testerPage').value) });
    });
    $('consoleForm').addEventListener('submit', (e) => {
      e.preventDefault();
      const line = $('consoleLine').value;
      act('console', { line: line }, (r) => {
        const out = $('consoleReply');
        out.textContent = '> ' + line + '\n' + (r.data.reply !== undefined ? r.data.reply : (r.data.error || ''));
      });
    });
    load().then(() => { if ($('station').hidden && $('loginSection').hidden) showLogin(true); });
  });
})();
