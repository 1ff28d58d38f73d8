"use strict";
// Reads every instance from the API about once a second and keeps the list and the open editor
// up to date; what moves while notes play (the articulation playing, levels, controller values)
// is read four times a second. When the server is gone the page says so and asks less and less often (at most
// every 5 seconds), and carries on by itself when the server is back.
(function () {
  const kPollMs = 1000;
  const kHiddenPollMs = 5000;   // a page in a background tab asks rarely
  const kLongestWaitMs = 5000;
  const kLivePollMs = 250;

  let instances = [];
  let selectedId = null;
  let failures = 0;
  let failingSince = null;
  let timer = null;
  let liveTimer = null;
  let live = new Map();  // id -> the instance's entry of GET /live
  // Bumped by every command: a poll that started before a command's answer arrived is stale
  // and would briefly show the old value.
  let generation = 0;

  const byId = (id) => document.getElementById(id);

  function nextWait() {
    if (failures > 0) return Math.min(kPollMs * 2 ** failures, kLongestWaitMs);
    return document.hidden ? kHiddenPollMs : kPollMs;
  }

  function schedule() {
    clearTimeout(timer);
    timer = setTimeout(poll, nextWait());
  }

  function showConnection() {
    const retry = byId("retry");
    if (failures === 0) {
      VoxView.setText(byId("connection"), instances.length + " instance" + (instances.length === 1 ? "" : "s") + ", live");
      byId("connection").classList.remove("offline");
      retry.hidden = true;
      return;
    }
    VoxView.setText(byId("connection"), "The plugin's server is not answering (since " +
      failingSince.toLocaleTimeString() + "); trying again every " + Math.round(nextWait() / 1000) + " s.");
    byId("connection").classList.add("offline");
    retry.hidden = false;
  }

  function render() {
    VoxList.render(byId("instance-list"), instances, selectedId, live);
    byId("no-instances").hidden = instances.length > 0;
    if (selectedId !== null) VoxEditor.update(instances.find((i) => i.id === selectedId) || null);
  }

  async function poll() {
    const started = generation;
    try {
      const answer = await VoxApi.readInstances();
      failures = 0;
      failingSince = null;
      if (started === generation) {
        instances = answer.instances;
        render();
      }
      if (selectedId !== null) await readDetails(selectedId);
    } catch (error) {
      if (failures === 0) failingSince = new Date();
      failures += 1;
    }
    showConnection();
    schedule();
  }

  // The open instance's page names and key-name sources, unless a change answered meanwhile.
  async function readDetails(id) {
    const started = generation;
    const details = await VoxApi.readDetails(id).catch(() => null);
    if (started === generation) VoxEditor.showDetails(details, false);
  }

  async function pollLive() {
    try {
      const answer = await VoxApi.readLive();
      live = new Map(answer.instances.map((entry) => [entry.id, entry]));
      VoxList.render(byId("instance-list"), instances, selectedId, live);
      VoxEditor.showLive(live.get(selectedId) || null);
    } catch (error) {
      // The main poll tells of the outage.
    }
    clearTimeout(liveTimer);
    liveTimer = setTimeout(pollLive, failures > 0 || document.hidden ? nextWait() : kLivePollMs);
  }

  // Puts one instance as the server answered a command into the page.
  function applyAnswer(answer) {
    generation += 1;
    if (!answer) return null;
    instances = instances.map((i) => (i.id === answer.id ? answer : i));
    render();
    return answer;
  }

  function select(id) {
    selectedId = id;
    const instance = instances.find((i) => i.id === id);
    byId("editor").hidden = false;
    byId("pick-hint").hidden = true;
    VoxEditor.open(instance);
    render();
    VoxEditor.showLive(live.get(id) || null);
    readDetails(id);
  }

  // A change of the open instance's details (VoxApi's renamePage, loadKeyNames ...); the key
  // names themselves come with the instances document, read at once.
  async function change(name, ...args) {
    generation += 1;
    const answer = await VoxApi[name](selectedId, ...args);
    poll();
    return answer;
  }

  async function command(parts, value) {
    const id = selectedId;
    return applyAnswer(await VoxApi.command(id, parts, value));
  }

  VoxList.init(select);
  VoxEditor.init({
    command,
    exportBank: () => VoxApi.exportBank(selectedId),
    importBank: async (text) => applyAnswer(await VoxApi.importBank(selectedId, text)),
    change,
  });
  byId("retry").addEventListener("click", poll);
  document.addEventListener("visibilitychange", () => {
    if (!document.hidden) {
      poll();
      pollLive();
    }
  });
  poll();
  pollLive();
})();
