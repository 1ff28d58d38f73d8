// The README's picture of the web editor: the demo's instances in Debian's Chromium, the second
// one open. Usage: node web_editor_picture.mjs OUT.png, with VOXTRANE_HOST naming the host to run
// and VOXTRANE_WEB_MODULES the browser test's node_modules (playwright-core).
import path from "node:path";
import { pathToFileURL } from "node:url";
import { freePort, until, startDemo, stopDemo } from "../../tests/web/demo_host.mjs";

const { chromium } = await import(pathToFileURL(path.join(process.env.VOXTRANE_WEB_MODULES, "playwright-core/index.mjs")));

const out = path.resolve(process.argv[2]);
const port = await freePort();
const host = await startDemo(port, process.cwd());  // where the demo leaves its MIDI file
const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true });
try {
  const page = await browser.newPage({ viewport: { width: 1280, height: 1100 } });
  await page.goto("http://127.0.0.1:" + port + "/");
  await until("the cards", async () => (await page.locator(".card").count()) === 3);
  await page.locator(".card").nth(1).click();
  await page.getByRole("button", { name: /^Articulation 2:/ }).first().click();
  await until("the playing articulation", async () => (await page.locator("#grid .slot.playing").count()) === 1);
  // The icons are backgrounds from one strip: wait until it has arrived, and for a paint after.
  await page.waitForFunction(() => performance.getEntriesByType("resource")
    .some((entry) => entry.name.endsWith("/icons.png") && entry.responseEnd > 0));
  await page.waitForTimeout(500);
  await page.screenshot({ path: out, fullPage: true });
} finally {
  await browser.close();
  await stopDemo(host);
}
