// The spectators' live results: polls /live.json each second, runs the race
// clock between answers, and writes every name as text, never as markup.
"use strict";

const POLL_MS = 1000;
const LOST_AFTER_MS = 5000;
const STATES = {
  idle: "Čeká se na jízdu",
  lights: "Start",
  running: "Jízda",
  over: "Konec jízdy",
  finished: "Výsledky jízdy",
};

let etag = null;
let last = null;        // the last document
let receivedAt = 0;     // when it came (performance.now())
let lastAnswer = performance.now();

function style() {
  const css = `
    body { font-family: sans-serif; margin: 0 0.5em; background: #ece9d8; color: #000; }
    h1 { font-size: 1.2em; margin: 0.4em 0; }
    h2 { font-size: 1.1em; font-style: italic; margin: 0.6em 0 0.2em; }
    h3 { font-size: 1em; font-style: italic; margin: 0.3em 0; }
    #spojeni { background: #c00; color: #fff; font-weight: bold; padding: 0.3em; margin: 0; }
    #cas { font: bold 2.6em monospace; color: #000080; }
    #delka, #stav { color: #000080; font-weight: bold; }
    table { border-collapse: collapse; width: 100%; }
    th, td { border: 1px solid #999; padding: 0.15em 0.3em; text-align: left; }
    #zavod td { color: #d00; font-weight: bold; }
    .tabulky { display: flex; flex-wrap: wrap; gap: 0.5em; }
    .tabulky > div { flex: 1 1 16em; }
    [hidden] { display: none; }`;
  try {
    const sheet = new CSSStyleSheet();
    sheet.replaceSync(css);
    document.adoptedStyleSheets = [sheet];
  } catch (e) {
    // Without constructed style sheets the page stays plain.
  }
}

function pad(n, width) {
  return String(n).padStart(width, "0");
}

// "nn:ss:zzz" as the station writes it: minutes within the hour.
function timeText(ms) {
  ms = Math.max(0, Math.floor(ms));
  return pad(Math.floor(ms / 60000) % 60, 2) + ":" + pad(Math.floor(ms / 1000) % 60, 2) + ":" + pad(ms % 1000, 3);
}

function cell(row, text) {
  const td = document.createElement("td");
  td.textContent = text === null || text === undefined ? "–" : String(text);
  row.appendChild(td);
}

function fill(table, rows, columns) {
  const body = table.tBodies[0];
  const fresh = document.createElement("tbody");
  for (const r of rows) {
    const tr = document.createElement("tr");
    for (const c of columns) cell(tr, c(r));
    fresh.appendChild(tr);
  }
  table.replaceChild(fresh, body);
}

function show(doc) {
  const race = doc.race || {};
  document.getElementById("delkaPopis").textContent =
    race.unit === "laps" ? "Délka jízdy (kol)" : "Délka jízdy (minut)";
  document.getElementById("delkaHodnota").textContent = String(race.length ?? "");
  document.getElementById("stav").textContent = STATES[race.state] || "";
  fill(document.getElementById("zavod"), doc.karts || [],
       [k => k.position, k => k.name, k => k.laps, k => k.last, k => k.best]);
  const best = doc.best || {};
  const columns = [r => r.rank, r => r.name, r => r.time];
  fill(document.getElementById("muzi"), best.men || [], columns);
  fill(document.getElementById("zeny"), best.women || [], columns);
}

function tick() {
  if (last) {
    const race = last.race || {};
    const runs = race.state === "running" || race.state === "over";
    const ms = (race.clockMs || 0) + (runs ? performance.now() - receivedAt : 0);
    document.getElementById("cas").textContent = timeText(ms);
  }
  document.getElementById("spojeni").hidden = performance.now() - lastAnswer < LOST_AFTER_MS;
}

async function poll() {
  try {
    const headers = etag ? { "If-None-Match": etag } : {};
    const answer = await fetch("/live.json", { cache: "no-store", headers });
    if (answer.status === 200) {
      last = await answer.json();
      etag = answer.headers.get("ETag");
      receivedAt = performance.now();
      show(last);
      lastAnswer = performance.now();
    } else if (answer.status === 304) {
      lastAnswer = performance.now();
    }
  } catch (e) {
    // No answer: the notice shows once it has been quiet too long.
  }
  tick();
  setTimeout(poll, POLL_MS);
}

style();
setInterval(tick, 50);
poll();
