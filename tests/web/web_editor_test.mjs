// The web editor in a real browser (Debian's Chromium, headless) against `voxtrane-host demo`
// on a free port. The browser reaches the host through a relay on a port of its own, so that
// the server can vanish and come back on the same address (the host's own port stays blocked
// for a while by closed connections). Screenshots go to $VOXTRANE_WEB_OUT.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { once } from "node:events";
import fs from "node:fs/promises";
import net from "node:net";
import path from "node:path";
import { chromium } from "playwright-core";
import { freePort, until, startDemo, stopDemo } from "./demo_host.mjs";

const outDir = process.env.VOXTRANE_WEB_OUT;
const chromiumPath = process.env.CHROMIUM || "/usr/bin/chromium";

let port, host, browser, page, base, relay, relayPort;
const consoleErrors = [];
const requests = [];

const relayed = new Set();
async function openRelay() {
  relay = net.createServer((client) => {
    const server = net.connect(port, "127.0.0.1");
    relayed.add(client);
    client.on("close", () => relayed.delete(client));
    client.pipe(server).pipe(client);
    client.on("error", () => server.destroy());
    server.on("error", () => client.destroy());
  });
  relay.listen(relayPort, "127.0.0.1");
  await once(relay, "listening");
}

async function closeRelay() {
  for (const socket of relayed) socket.destroy();
  relay.close();
  await once(relay, "close");
}

async function api(apiPath) {
  const response = await fetch(base + apiPath.replace(/^\//, ""));
  return response.json();
}

async function apiText(apiPath) {
  return (await fetch(base + apiPath.replace(/^\//, ""))).text();
}

before(async () => {
  await fs.mkdir(outDir, { recursive: true });
  port = await freePort();
  relayPort = await freePort();
  base = "http://127.0.0.1:" + port + "/";
  host = await startDemo(port, outDir);
  await openRelay();
  browser = await chromium.launch({ executablePath: chromiumPath, headless: true });
  page = await browser.newPage({ viewport: { width: 1280, height: 1100 }, acceptDownloads: true });
  page.on("console", (message) => { if (message.type() === "error") consoleErrors.push(message.text()); });
  page.on("pageerror", (error) => consoleErrors.push(error.message));
  page.on("request", (request) => requests.push({ method: request.method(), url: request.url(), at: Date.now() }));
  await page.goto("http://127.0.0.1:" + relayPort + "/");
});

after(async () => {
  await browser?.close();
  relay?.close();
  await stopDemo(host);
});

const field = (name) => page.getByLabel(name, { exact: true });
// Controllers have a "CC #" of their own.
const articulationField = (name) => page.getByRole("region", { name: "Articulations" }).getByLabel(name, { exact: true });
const card = (n) => page.locator(".card").nth(n);

test("lists the demo's instances and edits one through its labelled fields", async () => {
  const { instances } = await api("/api");
  assert.equal(instances.length, 3);
  await until("three cards", async () => (await page.locator(".card").count()) === 3);
  for (const [n, instance] of instances.entries()) {
    const text = await card(n).innerText();
    assert.match(text, new RegExp("Port " + instance.port));
    assert.ok(text.includes(instance.articulations[0].name), text);
  }
  await page.screenshot({ path: path.join(outDir, "web_list.png") });

  await card(1).click();
  await page.getByRole("button", { name: /^Articulation 2:/ }).first().click();
  const words = ["Articulation name", "Keyswitch", "Keyswitch velocity", "Program change", "Port", "Channel"];
  for (const word of words) assert.equal(await field(word).count(), 1, word);

  await field("Keyswitch").fill("D#1");
  await field("Keyswitch").press("Enter");
  const id = instances[1].id;
  await until("the keyswitch in /api", async () => (await api("/api/" + id)).instances[0].articulations[1].note === 39);
  await until("the read-back", async () => (await page.locator("#message").innerText()).includes("D#1 (39)"));

  // Out of range: refused on the page, nothing stored.
  const before = (await api("/api/" + id)).instances[0].articulations[1].notev;
  await field("Keyswitch velocity").fill("300");
  await field("Keyswitch velocity").press("Enter");
  await until("the refusal", async () => (await page.locator("#problem").innerText()).includes("0\u2013127"));
  assert.equal((await api("/api/" + id)).instances[0].articulations[1].notev, before);
  assert.equal(await field("Keyswitch velocity").inputValue(), String(before));

  // The mode decides the second value's field, as in the plugin's editor.
  await field("Mode").selectOption({ label: "Second keyswitch" });
  await field("Second keyswitch").fill("C3");
  await field("Second keyswitch").press("Enter");
  await until("the second keyswitch", async () => {
    const a = (await api("/api/" + id)).instances[0].articulations[1];
    return a.modc === -2 && a.modw === 60;
  });
  assert.equal(await articulationField("CC #").isVisible(), false);
  await page.screenshot({ path: path.join(outDir, "web_editor.png"), fullPage: true });
});

test("shows a change made through the API without a reload and keeps what the user types", async () => {
  const id = (await api("/api")).instances[1].id;
  await field("Articulation name").fill("Half typed");
  await api("/api/" + id + "/port=7");
  await api("/api/" + id + "/articulations/5/name=" + encodeURIComponent("From the API"));
  await until("the port", async () => (await field("Port").inputValue()) === "7");
  await until("the name in the grid", async () => (await page.locator("#grid").innerText()).includes("From the API"));
  assert.equal(await field("Articulation name").inputValue(), "Half typed");
  await field("Articulation name").press("Escape");
  assert.notEqual(await field("Articulation name").inputValue(), "Half typed");
});

test("round-trips a bank through export and import, and refuses a bad file", async () => {
  const id = (await api("/api")).instances[1].id;
  const exported = await apiText("/api/" + id + "/json");
  const [download] = await Promise.all([page.waitForEvent("download"),
    page.getByRole("button", { name: "Export bank" }).click()]);
  const file = await download.path();
  assert.equal(await fs.readFile(file, "utf8"), exported);
  assert.match(download.suggestedFilename(), /\.krylvox$/);

  await api("/api/" + id + "/articulations/0/name=Changed");
  await field("Import bank").setInputFiles(file);
  await until("the imported bank", async () => (await apiText("/api/" + id + "/json")) === exported);
  await until("the message", async () => (await page.locator("#message").innerText()).includes("imported"));

  const puts = () => requests.filter((r) => r.method === "PUT").length;
  const sent = puts();
  const refused = [
    ["object.krylvox", '{"name": "x"}', "does not hold a list"],
    ["long.krylvox", JSON.stringify(Array.from({ length: 65 }, () => ({ name: "x" }))), "holds 65 articulations"],
    ["broken.krylvox", "[{", "not JSON"],
  ];
  for (const [name, text, reason] of refused) {
    await field("Import bank").setInputFiles({ name, mimeType: "application/json", buffer: Buffer.from(text) });
    await until(name + " refused", async () => (await page.locator("#problem").innerText()).includes(reason));
  }
  assert.equal(puts(), sent);
  assert.equal(await apiText("/api/" + id + "/json"), exported);
  assert.deepEqual(consoleErrors, []);
});

test("the monitor lists what the demo sent and why, pauses, clears and filters by instance", async () => {
  const lines = page.locator("#monitor-lines li");
  await until("monitor lines", async () => (await lines.count()) > 10);
  const all = await lines.allInnerTexts();
  assert.ok(all.some((line) => /note on .* \u2014 note/.test(line)), all.slice(0, 5).join("\n"));
  assert.ok(all.some((line) => /\u2014 (keyswitch|program|controller) changed, articulation \d+/.test(line)), all.join("\n"));
  const { instances } = await api("/api");
  await page.locator("#monitor-instance").selectOption(String(instances[1].id));
  for (const line of await lines.allInnerTexts()) assert.ok(line.startsWith("#" + instances[1].id + " "), line);
  await page.getByRole("button", { name: "Pause", exact: true }).click();
  await page.getByRole("button", { name: "Clear", exact: true }).click();
  assert.equal(await lines.count(), 0);
  await page.getByRole("button", { name: "Resume", exact: true }).click();
  await page.locator("#monitor-instance").selectOption("");
});

test("imports other programs' maps through the plugin and loads a ready bank", async () => {
  const id = (await api("/api")).instances[1].id;
  const bank = async () => JSON.parse(await apiText("/api/" + id + "/json"));
  const odd = (name) => new URL("../maps/data/odd/" + name, import.meta.url).pathname;

  // Several banks: picked from a list grouped by group, then loaded.
  await field("Import bank").setInputFiles(odd("odd.reabank"));
  await until("the choice of banks", () => page.locator("#map-bank-field").isVisible());
  assert.deepEqual(await page.locator("#map-banks optgroup").evaluateAll((groups) => groups.map((g) => g.label)),
    ["Odd/Outputs", "Odd/Attributes", "Odd/Clones"]);
  await page.locator("#map-banks").selectOption({ label: "clone of base" });
  await page.locator("#load-map-bank").click();
  await until("the cloned bank", async () => (await bank()).map((a) => [a.name, a.modc, a.modw]).join() === "long,32,1");

  // One bank: straight in, with what it left out listed.
  await field("Import bank").setInputFiles(odd("odd.plist"));
  await until("the set", async () => (await bank()).length === 4 && (await bank())[0].notevel === 90);
  assert.deepEqual(await page.locator("#left-out li").allInnerTexts(),
    ["Logic \u2013 odd: Other kinds: left out Pitch Bend, routing to channel 3"]);

  await field("Import bank").setInputFiles({ name: "bad.reabank", mimeType: "text/plain", buffer: Buffer.from("Bank x\n0 y\n") });
  await until("the refusal", async () => (await page.locator("#problem").innerText()).includes("bad.reabank was not imported"));
  assert.equal((await bank()).length, 4);

  const ready = "Spitfire/Chamber Strings/Basic Articulations.krylvox";
  await page.locator("#ready-banks").selectOption(ready);
  await page.locator("#load-ready-bank").click();
  await until("the ready bank", async () => (await bank()).length === 9 && (await bank())[0].name === "legato");
  assert.deepEqual(consoleErrors, []);
});

test("shows what only the plugin's editor showed: playing, levels, page names, key names", async () => {
  const id = (await api("/api")).instances[1].id;
  const live = (await api("/live")).instances.find((entry) => entry.id === id);
  await until("the playing slot", async () =>
    (await page.locator("#grid .slot.playing").getAttribute("data-slot")) === String(live.playing));
  assert.match(await page.locator("#now-playing").innerText(), new RegExp("^Articulation " + (live.playing + 1)));
  assert.equal(await page.locator("#o-volume").innerText(), String(live.volume));

  await field("Controller page").selectOption("2");
  await field("Page name").fill("Dynamics");
  await field("Page name").press("Enter");
  await until("the page name", async () => (await api("/instance/" + id)).pages[2] === "Dynamics");
  assert.equal(await field("Controller page").locator("option").nth(2).innerText(), "Page 3: Dynamics");

  await page.getByRole("button", { name: /^Articulation 4/ }).first().click();
  await field("Load key names").setInputFiles({ name: "drums.txt", mimeType: "text/plain",
    buffer: Buffer.from("Crash\r\n\nKick\n") });
  await until("the names", async () => (await page.locator("#keyname-rows").innerText()).includes("Kick"));
  const rows = await page.locator("#keyname-rows tr").allInnerTexts();
  assert.deepEqual(rows.map((row) => row.replace(/\s+/g, " ")), ["B8 (131) Crash", "A8 (129) Kick"]);
  const source = (await api("/instance/" + id)).keynames[3];
  assert.deepEqual([source.title, source.path, source.named], ["drums", "", 2]);
  assert.match(await page.locator("#keynames-source").innerText(), /^drums \(2 names/);
  await page.getByRole("button", { name: "Clear key names" }).click();
  await until("cleared", async () => (await page.locator("#keyname-rows tr").count()) === 0);
  assert.equal((await api("/instance/" + id)).keynames[3].list, false);
  assert.deepEqual(consoleErrors, []);
});

test("says when the server is gone, asks gently, and recovers by itself", async () => {
  await closeRelay();
  const connection = page.locator("#connection");
  await until("the outage", async () => (await connection.innerText()).includes("not answering"));
  const from = Date.now();
  await new Promise((resolve) => setTimeout(resolve, 4000));
  const asked = requests.filter((r) => r.at >= from && r.url.endsWith("/api")).length;
  assert.ok(asked <= 3, asked + " requests in 4 s");
  await openRelay();
  await until("recovery", async () => (await connection.innerText()).includes("live"), 8000);
  assert.equal(await page.locator(".card").count(), 3);
});
