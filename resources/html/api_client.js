"use strict";
// The plugin's HTTP API, as it is: GET /api lists every instance; a command is a path
// /api/ID/COMMAND/FIRST/SECOND=VALUE and is answered with the document of that instance;
// /api/ID/json reads (GET) or replaces (PUT) the articulations as a bank file.
const VoxApi = (function () {
  // The server decodes a path into 512 bytes and cuts the rest; a longer command would be
  // applied cut short, so it is not sent.
  const kPathLimit = 511;
  // The server drops a request of 1 MiB or more; the request head takes a few hundred bytes.
  const kBankLimit = 1048576 - 4096;
  const kMaxArticulations = 64;

  async function getText(path, options) {
    const response = await fetch(path, Object.assign({ cache: "no-store" }, options));
    if (!response.ok) throw new Error("the server answered " + response.status);
    return response.text();
  }

  async function getJson(path, options) {
    return JSON.parse(await getText(path, options));
  }

  function readInstances() {
    return getJson("/api");
  }

  // The instance out of a command's answer; null when it is gone.
  function instanceOf(document, id) {
    return document.instances.find((instance) => instance.id === id) || null;
  }

  function commandPath(id, parts, value) {
    const encoded = parts.map((part) => encodeURIComponent(String(part)));
    return "/api/" + id + "/" + encoded.join("/") + "=" + encodeURIComponent(String(value));
  }

  function decodedLength(id, parts, value) {
    const text = "/api/" + id + "/" + parts.join("/") + "=" + value;
    return new TextEncoder().encode(text).length;
  }

  // Runs one command; resolves to the instance as the server has it afterwards.
  async function command(id, parts, value) {
    const text = String(value);
    // The server reads no value from an empty text and stops a value at a line feed.
    if (text === "") throw new Error("the API cannot store an empty value");
    if (/[\u0000-\u001f]/.test(text)) throw new Error("control characters cannot be sent");
    if (decodedLength(id, parts, text) > kPathLimit) throw new Error("the text is too long for the API");
    return instanceOf(await getJson(commandPath(id, parts, text)), id);
  }

  function exportBank(id) {
    return getText("/api/" + id + "/json");
  }

  // Why a bank file is refused, or "" when the API will take it. The API silently ignores
  // anything but a JSON array of at most 64 elements.
  function bankProblem(text, size) {
    if (size > kBankLimit) return "The file is too large for the API (at most 1 MiB).";
    let parsed;
    try {
      parsed = JSON.parse(text);
    } catch (error) {
      return "The file is not JSON: " + error.message;
    }
    if (!Array.isArray(parsed)) return "The file does not hold a list of articulations (a JSON array).";
    if (parsed.length > kMaxArticulations) {
      return "The file holds " + parsed.length + " articulations; an instance has at most " + kMaxArticulations + ".";
    }
    return "";
  }

  // Replaces the instance's articulations; resolves to the instance as read back.
  async function importBank(id, text) {
    const document = await getJson("/api/" + id + "/json", { method: "PUT", body: text });
    return instanceOf(document, id);
  }

  // Other programs' articulation maps, converted by the plugin (requests under /maps/).
  const kMapExtensions = ["reabank", "expressionmap", "plist", "doricolib"];

  // The map kind of a file name ("reabank" ...), or "" for any other file.
  function mapExtension(fileName) {
    const match = /\.([^.]+)$/.exec(fileName);
    const extension = match ? match[1].toLowerCase() : "";
    return kMapExtensions.includes(extension) ? extension : "";
  }

  // Resolves to { error, banks: [{ group, name, leftout, articulations }] }.
  function convertMap(extension, text, size) {
    if (size > kBankLimit) return Promise.resolve({ error: "the file is too large for the API (at most 1 MiB)", banks: [] });
    return getJson("/maps/convert/" + extension, { method: "PUT", body: text });
  }

  // The ready banks in the plugin's folder, as paths "<vendor>/<product>/<bank>.krylvox".
  async function readyBanks() {
    return (await getJson("/maps/ready")).banks;
  }

  function readyBank(path) {
    return getText("/maps/ready/" + path.split("/").map(encodeURIComponent).join("/"));
  }

  return { readInstances, command, exportBank, bankProblem, importBank, mapExtension, convertMap, readyBanks, readyBank };
})();
