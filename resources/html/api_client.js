"use strict";
// The plugin's HTTP API, as it is: GET /api lists every instance; a command is a path
// /api/ID/COMMAND/FIRST/SECOND=VALUE and is answered with the document of that instance;
// /api/ID/json reads (GET) or replaces (PUT) the articulations as a bank file. Beside it:
// GET /live (what moves: the articulation playing, levels, controller values), GET /instance/ID
// (page names, where key names come from) and its changes, sent with PUT.
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


  function readLive() {
    return getJson("/live");
  }

  function readDetails(id) {
    return getJson("/instance/" + id);
  }

  // A change of the instance's details; resolves to the details as the server has them after it.
  function change(id, parts, body) {
    const path = "/instance/" + id + "/" + parts.map((part) => encodeURIComponent(String(part))).join("/");
    if (new TextEncoder().encode(path).length > kPathLimit) throw new Error("the file name is too long for the API");
    return getJson(path, { method: "PUT", body });
  }

  const renamePage = (id, page, name) => change(id, ["pages", page], name);
  // Names from the text of a file chosen in the browser, as if the plugin had loaded it.
  const loadKeyNames = (id, slot, fileName, text) => change(id, ["keynames", slot, "load", fileName], text);
  const reloadKeyNames = (id, slot) => change(id, ["keynames", slot, "reload"], "");
  const clearKeyNames = (id, slot) => change(id, ["keynames", slot, "clear"], "");

  return { readInstances, command, exportBank, bankProblem, importBank, mapExtension, convertMap, readyBanks, readyBank,
    readLive, readDetails, renamePage, loadKeyNames, reloadKeyNames, clearKeyNames };
})();
