"use strict";
// The live monitor: what every instance sent, when (its tick count) and why, from GET
// /monitor/<after>. Polled while the page is open and not paused; the newest few hundred lines
// are kept; a filter shows one instance's.
(function () {
  const kKept = 500;
  const kWaitMs = 400;
  const kNames = ["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"];
  const list = document.getElementById("monitor-lines");
  const pause = document.getElementById("monitor-pause");
  const filter = document.getElementById("monitor-instance");
  let after = 0;
  let paused = false;
  const lines = [];

  function keyName(key) {
    return key < 0 ? "" : kNames[key % 12] + (Math.floor(key / 12) - 2);
  }

  function messageText(e) {
    const type = e.status & 0xf0;
    const channel = (e.status & 0x0f) + 1;
    const head = "port " + e.port + " ch " + channel + " ";
    if (type === 0x90 && e.data2 > 0) return head + "note on " + keyName(e.data1) + " (" + e.data1 + ") vel " + e.data2;
    if (type === 0x80 || type === 0x90) return head + "note off " + keyName(e.data1) + " (" + e.data1 + ")";
    if (type === 0xb0) return head + "CC " + e.data1 + " = " + e.data2;
    if (type === 0xc0) return head + "program " + (e.data1 + 1);
    if (type === 0xe0) return head + "pitch bend " + ((e.data2 << 7 | e.data1) - 8192);
    return head + "status " + e.status;
  }

  function whyText(e) {
    let text = e.why;
    if (e.articulation >= 0) text += ", articulation " + (e.articulation + 1);
    if (e.key >= 0) text += ", note " + keyName(e.key);
    if (e.from >= 0 && e.from !== 255) text += ", was " + e.from;
    return text;
  }

  function render() {
    const shown = filter.value;
    list.textContent = "";
    for (const e of lines) {
      if (shown && String(e.id) !== shown) continue;
      const row = document.createElement("li");
      row.dataset.instance = e.id;
      row.textContent = "#" + e.id + "  tick " + e.tick + "  " + messageText(e) + "  \u2014 " + whyText(e);
      list.appendChild(row);
    }
    list.scrollTop = list.scrollHeight;
  }

  function addInstances() {
    const known = new Set(Array.from(filter.options, (o) => o.value));
    for (const e of lines) {
      if (known.has(String(e.id))) continue;
      known.add(String(e.id));
      filter.add(new Option("Instance " + e.id, String(e.id)));
    }
  }

  async function poll() {
    if (!paused) {
      try {
        const answer = JSON.parse(await (await fetch("/monitor/" + after, { cache: "no-store" })).text());
        for (const e of answer.sent) {
          lines.push(e);
          after = Math.max(after, e.n);
        }
        lines.splice(0, Math.max(0, lines.length - kKept));
        if (answer.sent.length) {
          addInstances();
          render();
        }
      } catch (e) {
        // The connection line of the page says when the server is gone.
      }
    }
    setTimeout(poll, kWaitMs);
  }

  pause.addEventListener("click", () => {
    paused = !paused;
    pause.textContent = paused ? "Resume" : "Pause";
    pause.setAttribute("aria-pressed", String(paused));
  });
  document.getElementById("monitor-clear").addEventListener("click", () => {
    lines.length = 0;
    render();
  });
  filter.addEventListener("change", render);
  poll();
})();
