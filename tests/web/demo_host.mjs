// What the browser tests share: a free port, waiting for a condition, and the demo host.
import { spawn } from "node:child_process";
import { once } from "node:events";
import net from "node:net";

export async function freePort() {
  const server = net.createServer().listen(0, "127.0.0.1");
  await once(server, "listening");
  const { port } = server.address();
  server.close();
  await once(server, "close");
  return port;
}

export async function until(what, check, ms = 10000) {
  const end = Date.now() + ms;
  for (;;) {
    const value = await check().catch(() => undefined);
    if (value) return value;
    if (Date.now() > end) throw new Error("timed out waiting for " + what);
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}

// `voxtrane-host demo` serving on `port`, once it answers.
export async function startDemo(port, cwd) {
  const host = spawn(process.env.VOXTRANE_HOST, ["demo", "--port", String(port), "--serve-seconds", "600"],
    { cwd, stdio: "ignore" });
  await until("the demo's server", async () => (await fetch(`http://127.0.0.1:${port}/api`)).ok);
  return host;
}

export async function stopDemo(host) {
  if (!host || host.exitCode !== null) return;
  host.kill("SIGINT");
  await once(host, "exit");
}
