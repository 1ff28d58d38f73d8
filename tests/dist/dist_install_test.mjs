// The download as a user installs it: the zip holds exactly the plugin's folder, and once it is
// unzipped into a fresh FL Studio folder, voxtrane-host.exe at that folder's top loads the zipped
// DLL under Wine, plays the demo from the zipped banks and serves the zipped web page.
import { test } from "node:test";
import assert from "node:assert/strict";
import { spawn, execFileSync } from "node:child_process";
import { once } from "node:events";
import fs from "node:fs";
import net from "node:net";
import os from "node:os";
import path from "node:path";

const { VOXTRANE_DIST_ZIP: zip, VOXTRANE_HOST: hostProgram, VOXTRANE_EMULATOR: emulator, VOXTRANE_SOURCE: source,
  CMAKE: cmake } = process.env;
const sourceFiles = (folder) => fs.readdirSync(path.join(source, folder)).map((name) => folder + "/" + name);

test("the zip holds the plugin's folder and nothing else", () => {
  const listed = execFileSync(cmake, ["-E", "tar", "tf", zip], { encoding: "utf8" }).split("\n");
  // The ready banks, converted from the REAPER factory file: banks/<vendor>/<product>/<bank>.krylvox.
  const ready = /^KRYL Voxtrane\/banks\/[^/]+\/[^/]+\/.+\.krylvox$/;
  assert.equal(listed.filter((entry) => ready.test(entry)).length, 218);
  const files = listed.filter((entry) => entry && !entry.endsWith("/") && !ready.test(entry)).sort();
  const expected = ["KRYL Voxtrane_x64.dll", "articulations.kryltemplate", "INSTALL.txt", "NOTICE.txt",
    "docs/icons.md", "docs/icons.png", "licences/Emmentaler-OFL-1.1.txt", "licences/RobotoCondensed-Apache-2.0.txt",
    "licences/reabank-factory-Apache-2.0.txt",
    ...sourceFiles("resources/html").map((file) => file.replace("resources/", "")),
    ...sourceFiles("resources/banks").map((file) => file.replace("resources/", ""))];
  assert.deepEqual(files, expected.map((file) => "KRYL Voxtrane/" + file).sort());
});

async function freePort() {
  const server = net.createServer().listen(0, "0.0.0.0");
  await once(server, "listening");
  const { port } = server.address();
  server.close();
  await once(server, "close");
  return port;
}

test("unzipped into FL Studio's generators, it plays the demo and serves the page", async (t) => {
  const flStudio = fs.mkdtempSync(path.join(os.tmpdir(), "voxtrane-fl-"));
  let stop = async () => {};
  t.after(async () => {
    await stop();
    fs.rmSync(flStudio, { recursive: true, force: true });
  });
  const generators = path.join(flStudio, "Plugins", "Fruity", "Generators");
  fs.mkdirSync(generators, { recursive: true });
  execFileSync(cmake, ["-E", "tar", "xf", zip], { cwd: generators });
  fs.copyFileSync(hostProgram, path.join(flStudio, "voxtrane-host.exe"));

  const port = await freePort();
  // --serve-seconds: should the test die, the host still ends by itself and restores its settings.
  const host = spawn(emulator, [path.join(flStudio, "voxtrane-host.exe"), "demo", "--port", String(port),
    "--serve-seconds", "120"], { cwd: flStudio, stdio: ["ignore", "pipe", "inherit"] });
  const exited = once(host, "exit");
  // Ctrl-C, so that the host restores the settings it changed; killed when it does not end.
  stop = async () => {
    if (host.exitCode === null && host.signalCode === null) host.kill("SIGINT");
    const kill = setTimeout(() => host.kill("SIGKILL"), 15000);
    const [status] = await exited;
    clearTimeout(kill);
    return status;
  };
  let output = "";
  host.stdout.on("data", (chunk) => (output += chunk));

  const deadline = Date.now() + 60000;
  while (!output.includes("HTTP API of the three instances")) {
    assert.ok(host.exitCode === null, "the host ended early:\n" + output);
    assert.ok(Date.now() < deadline, "no server after 60 s:\n" + output);
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  // The same listing as the stage's demo: the zipped DLL and banks play alike.
  const listing = output.replace(/\r/g, "").replace(/[ \t]+$/gm, "");
  assert.ok(listing.startsWith(fs.readFileSync(path.join(source, "tests/host/golden/demo.txt"), "utf8")), listing);

  const get = (what) => fetch(`http://127.0.0.1:${port}${what}`, { signal: AbortSignal.timeout(10000) });
  const page = await get("/");
  assert.equal(page.status, 200);
  assert.match(await page.text(), /<script src="main\.js"/);
  const api = await get("/api");
  assert.equal(api.status, 200);
  const firstOfBank = (bank) =>
    JSON.parse(fs.readFileSync(path.join(generators, "KRYL Voxtrane", "banks", bank + ".krylvox"), "utf8"))[0].name;
  assert.deepEqual((await api.json()).instances.map((instance) => instance.articulations[0].name),
    ["Strings", "Spitfire UACC", "Brass"].map(firstOfBank));
  // The icon strip of the artwork, all 231 icons: the page cuts icon k from x = 32k.
  const icons = Buffer.from(await (await get("/icons.png")).arrayBuffer());
  assert.equal(icons.subarray(1, 4).toString(), "PNG");
  assert.deepEqual([icons.readUInt32BE(16), icons.readUInt32BE(20)], [231 * 32, 56]);

  assert.equal(await stop(), 0, "the host did not end cleanly on Ctrl-C");
});
