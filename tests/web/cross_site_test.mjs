// Another site's page in Chromium cannot change an instance through the plugin's server, by
// image, form, fetch or script, nor through a name made to resolve to this machine; the plugin's
// own page can, on 127.0.0.1, on the machine's name and on its other addresses.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { once } from "node:events";
import http from "node:http";
import os from "node:os";
import { chromium } from "playwright-core";
import { freePort, until, startDemo, stopDemo } from "./demo_host.mjs";

const chromiumPath = process.env.CHROMIUM || "/usr/bin/chromium";
// Names the browser resolves to this machine: an attacker's, and the machine's own.
const ownName = os.hostname() + ".local";
const resolverRules = `MAP evil.example 127.0.0.1, MAP ${ownName} 127.0.0.1`;

let port, host, attacker, attackerPort, browser;

// Without a browser's headers, as a script would ask.
const api = async (path) => (await fetch("http://127.0.0.1:" + port + path)).json();
const firstInstance = async () => (await api("/api")).instances[0];

// Every way a page may send to another origin without asking it first, and two that ask.
function attackPage(target, id) {
  const command = (value) => `${target}/api/${id}/port=${value}`;
  return `<!doctype html><body>
<img src="${command(11)}">
<script src="${command(12)}"></script>
<iframe name="sink"></iframe>
<form id="get" method="GET" action="${command(13)}" target="sink"></form>
<form id="post" method="POST" action="${command(14)}" target="sink"><input name="x" value="1"></form>
<script>
  document.getElementById("get").submit();
  setTimeout(() => document.getElementById("post").submit(), 200);
  fetch("${command(15)}", { mode: "no-cors" }).catch(() => {});
  fetch("${command(16)}", { headers: { "X-Any": "1" } }).catch(() => {});
  fetch("${target}/api/${id}/json", { method: "PUT", body: "[]" }).catch(() => {});
  document.title = "sent";
</script></body>`;
}

before(async () => {
  port = await freePort();
  host = await startDemo(port, os.tmpdir());  // where it writes its MIDI file
  let page = "";
  attacker = http.createServer((request, response) => {
    response.writeHead(200, { "Content-Type": "text/html" });
    response.end(page);
  });
  attacker.setPage = (text) => { page = text; };
  attacker.listen(0, "127.0.0.1");
  await once(attacker, "listening");
  attackerPort = attacker.address().port;
  browser = await chromium.launch({ executablePath: chromiumPath, headless: true,
    args: ["--host-resolver-rules=" + resolverRules] });
});

after(async () => {
  await browser?.close();
  attacker?.close();
  await stopDemo(host);
});

test("another site's page, on another name or another port, changes nothing", async () => {
  const before = await firstInstance();
  const bank = await (await fetch(`http://127.0.0.1:${port}/api/${before.id}/json`)).text();
  for (const origin of [`http://evil.example:${attackerPort}`, `http://127.0.0.1:${attackerPort}`]) {
    for (const target of [`http://127.0.0.1:${port}`, `http://localhost:${port}`]) {
      attacker.setPage(attackPage(target, before.id));
      const page = await browser.newPage();
      const refused = [];
      page.on("response", (response) => {
        if (response.url().startsWith(target + "/api/")) refused.push(response.status());
      });
      await page.goto(origin + "/");
      await until("the page's script", async () => (await page.title()) === "sent");
      await new Promise((resolve) => setTimeout(resolve, 1000));  // the form posted late, the fetches
      await page.close();
      assert.equal((await firstInstance()).port, before.port, `${origin} -> ${target}`);
      // They reached the server and were refused there, not held back by the browser.
      assert.ok(refused.length >= 4 && refused.every((status) => status === 403), `${origin} -> ${target}: ${refused}`);
    }
  }
  assert.equal(await (await fetch(`http://127.0.0.1:${port}/api/${before.id}/json`)).text(), bank);
});

test("a name that resolves here but is not the machine's gets a 403 page", async () => {
  const page = await browser.newPage();
  const response = await page.goto(`http://evil.example:${port}/`);
  assert.equal(response.status(), 403);
  assert.match(await page.innerText("body"), /Refused/);
  await page.close();
});

test("the plugin's own page changes an instance from each of the machine's addresses and its name", async (t) => {
  const others = Object.values(os.networkInterfaces()).flat()
    .filter((a) => a.family === "IPv4" && !a.internal).map((a) => a.address);
  if (others.length === 0) t.diagnostic("no address besides the loopback: only 127.0.0.1 and the name are tried");
  const hosts = ["127.0.0.1", ownName, ...others];
  for (const [n, name] of hosts.entries()) {
    const page = await browser.newPage();
    await page.goto(`http://${name}:${port}/`);
    await until("the cards on " + name, async () => (await page.locator(".card").count()) === 3);
    await page.locator(".card").first().click();
    const wanted = String(20 + n);
    await page.getByLabel("Port", { exact: true }).fill(wanted);
    await page.getByLabel("Port", { exact: true }).press("Enter");
    await until("the port set from " + name, async () => String((await firstInstance()).port) === wanted);
    await page.close();
  }
});
