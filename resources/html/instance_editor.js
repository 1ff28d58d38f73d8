"use strict";
// The editor of one instance. Fields are filled from each document the page reads, except a
// field the user is typing in; an edit is sent when the field is left or Enter is pressed, and
// the field then shows the value as the server read it back.
const VoxEditor = (function () {
  const { element, setText } = VoxView;
  const kBankSize = 16;
  const kControllersPerPage = 6;
  const kControllerPages = 16;
  const kUnassignedCc = 255;
  const kOptionLabels = [
    ["midiextend", "MIDI Extend"], ["ccghosting", "CC Ghosting"], ["ccghostontransport", "Only Ghost transport"],
    ["holdkeyswitch", "Hold KS momentarily"], ["cctimingfix", "Kontakt CC timing fix"],
    ["allchannelomni", "All channel CC in omni"], ["cc64release", "Release CC64 on stop"],
    ["preserveport", "Preserve Port/Channel"], ["releasetocc117", "Rls. velocity to CC17"],
    ["resetstate", "Reset state on switch"], ["showuacc", "Show UACC on CC32"],
    ["parameterccs", "Parameters control CC"], ["allowoverlap", "Allow overlapping notes"],
    ["altmiddlec", "Alternative Middle C"], ["optimiseauto", "Optimise automation"],
    ["showsingle", "Show single editor"], ["articbanks", "Multiple artic. banks"],
  ];
  const kControllerTypes = ["Knob", "Switch", "Fader"];

  // { command(parts, value), exportBank(), importBank(text), change(name, ...arguments) }
  let hooks = null;
  let instance = null;
  let details = null;  // page names and key-name sources of the open instance (GET /instance/ID)
  let live = null;     // what moves: the articulation playing, levels, controller values (GET /live)
  let slot = 0;
  let controllerPage = 0;
  let gridSize = 0;

  const byId = (id) => document.getElementById(id);

  // ---- value kinds: how a stored number is shown in a field and read back from it

  function wholeKind(min, max, empty, hint) {
    return {
      format: (v) => (v === empty ? "" : String(v)),
      parse: (text) => VoxNotes.parseWhole(text, min, max, empty),
      hint,
    };
  }

  const noteKind = {
    format: (v) => VoxNotes.noteName(v, altMiddleC()),
    parse: (text) => VoxNotes.parseNote(text, altMiddleC()),
    hint: "a note such as C3 or a number 0\u2013127, empty for none",
  };

  const programKind = {
    format: (v) => (v < 0 ? "" : String(v + 1)),
    parse: (text) => VoxNotes.parseWhole(text, 1, 128, 0) - 1,
    hint: "1\u2013128, empty for none",
  };

  const nameKind = { format: (v) => v, parse: (text) => text, hint: "" };

  const kArticulationFields = [
    { input: "f-name", field: "name", label: "Articulation name", kind: nameKind },
    { input: "f-icon", field: "icon", label: "Icon", kind: wholeKind(0, VoxView.kIconCount - 1, NaN, "0\u2013230") },
    { input: "f-keyswitch", field: "note", label: "Keyswitch", kind: noteKind, noteHint: "f-keyswitch-hint" },
    { input: "f-keyswitch-velocity", field: "notev", label: "Keyswitch velocity", kind: wholeKind(0, 127, NaN, "0\u2013127") },
    { input: "f-cc", field: "modc", label: "CC #", kind: wholeKind(0, 127, -1, "0\u2013127, empty for none") },
    { input: "f-cc-value", field: "modw", label: "CC value", kind: wholeKind(0, 127, -1, "0\u2013127, empty for none") },
    { input: "f-second-keyswitch", field: "modw", label: "Second keyswitch", kind: noteKind,
      noteHint: "f-second-keyswitch-hint" },
    { input: "f-velocity", field: "modw", label: "Velocity", kind: wholeKind(1, 127, -1, "1\u2013127, empty for none") },
    { input: "f-program", field: "prog", label: "Program change", kind: programKind },
  ];

  const kControllerFields = [
    { field: "name", label: "Name", kind: nameKind },
    { field: "cc", label: "CC #", kind: wholeKind(0, 127, kUnassignedCc, "0\u2013127, empty for unassigned") },
    { field: "type", label: "Type", select: kControllerTypes },
    { field: "value", label: "Value", kind: wholeKind(0, 127, NaN, "0\u2013127") },
    { field: "default", label: "Default", kind: wholeKind(0, 127, NaN, "0\u2013127") },
    { field: "on", label: "On", checkbox: true },
    { field: "lock", label: "Lock", checkbox: true },
  ];

  function altMiddleC() {
    return Boolean(instance && instance.options.altmiddlec);
  }

  function articulation() {
    return instance.articulations[slot];
  }

  // ---- showing values without losing what the user is typing

  function isTyping(input) {
    return input === document.activeElement && input.dataset.shown !== undefined && input.value !== input.dataset.shown;
  }

  function showValue(input, text, force) {
    if (!force && isTyping(input)) return;
    if (input.value !== text) input.value = text;
    input.dataset.shown = text;
  }

  function showChecked(input, checked) {
    if (input.checked !== checked) input.checked = checked;
  }

  function say(text) {
    setText(byId("message"), text);
    setText(byId("problem"), "");
  }

  function complain(text) {
    setText(byId("problem"), text);
    setText(byId("message"), "");
  }

  // Sends one command and shows the answer; on a refusal every field shows the stored value again.
  async function run(parts, value, describe) {
    try {
      const answer = await hooks.command(parts, value);
      if (answer && describe) say(describe(answer));
      return answer;
    } catch (error) {
      complain("Not changed: " + error.message + ".");
      refresh(true);
      return null;
    }
  }

  function onEnter(input, commit) {
    input.addEventListener("keydown", (event) => {
      if (event.key === "Enter") commit();
      if (event.key === "Escape") refresh(true);
    });
    input.addEventListener("change", commit);
  }

  // ---- the output port and channel

  function commitPort() {
    const input = byId("f-port");
    if (input.value === input.dataset.shown) return;
    const port = VoxNotes.parseWhole(input.value, 0, 255, NaN);
    if (Number.isNaN(port)) {
      complain("Port: 0\u2013255.");
      showValue(input, String(instance.port), true);
      return;
    }
    run(["port"], port, (i) => "Port is now " + i.port + ".");
  }

  function channelCount() {
    return instance.options.midiextend ? 64 : 16;
  }

  function fillChannelChoices(select) {
    const count = Math.max(channelCount(), instance.channel === VoxView.kPerColour ? 0 : instance.channel + 1);
    if (select.options.length === count + 1) return;
    const choices = [new Option("Per colour", String(VoxView.kPerColour))];
    for (let c = 0; c < count; ++c) choices.push(new Option(String(c + 1), String(c)));
    select.replaceChildren(...choices);
  }

  function commitChannel() {
    const channel = Number(byId("f-channel").value);
    run(["channel"], channel, (i) => "Channel is now " + VoxView.channelText(i.channel) + ".");
  }

  // ---- the articulation grid

  function buildGrid(size) {
    const grid = byId("grid");
    const groups = [];
    for (let bank = 0; bank < size / kBankSize; ++bank) {
      const group = element("div", "bank");
      group.setAttribute("role", "group");
      group.setAttribute("aria-label", size > kBankSize ? "Bank " + (bank + 1) : "Articulations");
      if (size > kBankSize) group.append(element("span", "bank-title", "Bank " + (bank + 1)));
      for (let s = bank * kBankSize; s < (bank + 1) * kBankSize; ++s) group.append(slotButton(s));
      groups.push(group);
    }
    grid.replaceChildren(...groups);
    gridSize = size;
  }

  function slotButton(s) {
    const button = element("button", "slot");
    button.type = "button";
    button.dataset.slot = String(s);
    button.append(VoxView.iconNode(55), element("span", "slot-number", String(s + 1)), element("span", "slot-name"));
    button.addEventListener("click", () => selectSlot(s));
    button.addEventListener("keydown", (event) => moveInGrid(event, s));
    return button;
  }

  // Arrow keys move between slots, as in the plugin's own grid.
  function moveInGrid(event, s) {
    const steps = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -4, ArrowDown: 4 };
    if (!(event.key in steps)) return;
    const target = s + steps[event.key];
    if (target < 0 || target >= gridSize) return;
    event.preventDefault();
    byId("grid").querySelector('[data-slot="' + target + '"]').focus();
  }

  function selectSlot(s) {
    slot = s;
    setText(byId("problem"), "");
    refresh(true);
  }

  function showGrid() {
    const size = instance.options.articbanks ? instance.articulations.length : kBankSize;
    if (gridSize !== size) buildGrid(size);
    if (slot >= size) slot = 0;
    for (const button of byId("grid").querySelectorAll(".slot")) {
      const s = Number(button.dataset.slot);
      const a = instance.articulations[s];
      const name = a.name || (VoxView.isEmptyArticulation(a) ? "" : "(unnamed)");
      VoxView.setIcon(button.querySelector(".icon"), a.icon);
      setText(button.querySelector(".slot-name"), name);
      button.setAttribute("aria-label", "Articulation " + (s + 1) + (name ? ": " + name : ", empty"));
      button.setAttribute("aria-pressed", String(s === slot));
    }
  }

  // ---- the selected articulation's fields

  function modeOf(a) {
    return a.modc >= 0 || a.modc < -3 ? -1 : a.modc;
  }

  function commitArticulationField(def) {
    const input = byId(def.input);
    if (input.value === input.dataset.shown) return;
    const value = def.kind.parse(input.value);
    if (Number.isNaN(value) || (def.field === "name" && value === "")) {
      complain(def.label + ": " + (def.field === "name" ? "the API cannot empty a name" : def.kind.hint) + ".");
      showValue(input, def.kind.format(articulation()[def.field]), true);
      return;
    }
    const at = slot;
    run(["articulations", at, def.field], value, (i) =>
      def.label + " is now " + (describeValue(def, i.articulations[at][def.field]) || "none") + ".");
  }

  function describeValue(def, value) {
    const text = def.kind.format(value);
    return def.kind === noteKind && text ? text + " (" + value + ")" : text;
  }

  async function commitMode() {
    const mode = Number(byId("f-mode").value);
    const at = slot;
    // As the plugin's mode menu does: a new mode starts without a value.
    if (await run(["articulations", at, "modc"], mode, null)) {
      run(["articulations", at, "modw"], -1, () => "Mode is now " + byId("f-mode").selectedOptions[0].text + ".");
    }
  }

  function showArticulation(force) {
    const a = articulation();
    setText(byId("slot-heading"), "Articulation " + (slot + 1) + (a.name ? ": " + a.name : ""));
    for (const def of kArticulationFields) {
      showValue(byId(def.input), def.kind.format(a[def.field]), force);
      if (def.noteHint) setText(byId(def.noteHint), a[def.field] >= 0 && a[def.field] <= 127 ? "note " + a[def.field] : def.kind.hint);
    }
    VoxView.setIcon(byId("icon-preview"), a.icon);
    const mode = modeOf(a);
    showValue(byId("f-mode"), String(mode), force);
    for (const wrapper of byId("articulation-fields").querySelectorAll("[data-mode]")) {
      wrapper.hidden = Number(wrapper.dataset.mode) !== mode;
    }
  }

  // ---- the icon picker

  function toggleIconPicker() {
    const picker = byId("icon-picker");
    const opening = picker.hidden;
    if (opening && picker.children.length === 0) buildIconPicker(picker);
    picker.hidden = !opening;
    byId("choose-icon").setAttribute("aria-expanded", String(opening));
    if (opening) picker.querySelector('[data-icon="' + articulation().icon + '"]')?.focus();
  }

  function buildIconPicker(picker) {
    for (let icon = 0; icon < VoxView.kIconCount; ++icon) {
      const button = element("button", "icon-choice");
      button.type = "button";
      button.dataset.icon = String(icon);
      button.setAttribute("aria-label", "Icon " + icon);
      button.append(VoxView.iconNode(icon));
      button.addEventListener("click", () => chooseIcon(icon));
      picker.append(button);
    }
    picker.addEventListener("keydown", (event) => {
      if (event.key === "Escape") toggleIconPicker();
    });
  }

  function chooseIcon(icon) {
    toggleIconPicker();
    byId("choose-icon").focus();
    const at = slot;
    run(["articulations", at, "icon"], icon, (i) => "Icon is now " + i.articulations[at].icon + ".");
  }

  // ---- options

  function buildOptions() {
    const box = byId("options");
    for (const [key, label] of kOptionLabels) {
      const wrapper = element("label", "option");
      const input = element("input");
      input.type = "checkbox";
      input.dataset.option = key;
      input.addEventListener("change", () => {
        run(["options", key], input.checked ? "true" : "false", (i) => label + " is " + (i.options[key] ? "on" : "off") + ".");
      });
      wrapper.append(input, " " + label);
      box.append(wrapper);
    }
  }

  function showOptions() {
    for (const input of byId("options").querySelectorAll("input")) {
      showChecked(input, Boolean(instance.options[input.dataset.option]));
    }
  }

  // ---- controllers

  function pageTitle(p) {
    const name = details ? details.pages[p] : "";
    return "Page " + (p + 1) + (name ? ": " + name : "");
  }

  async function commitPageName() {
    const input = byId("f-page-name");
    if (input.value === input.dataset.shown) return;
    const page = controllerPage;
    if (await changeDetails("renamePage", page, input.value)) {
      say("Page " + (page + 1) + " is now " + (details.pages[page] ? "\u201c" + details.pages[page] + "\u201d" : "unnamed") + ".");
    }
  }

  function buildControllers() {
    const select = byId("f-controller-page");
    for (let p = 0; p < kControllerPages; ++p) select.append(new Option(pageTitle(p), String(p)));
    onEnter(byId("f-page-name"), commitPageName);
    select.addEventListener("change", () => {
      controllerPage = Number(select.value);
      refresh(true);
    });
    const rows = [];
    for (let row = 0; row < kControllersPerPage; ++row) rows.push(controllerRow(row));
    byId("controller-rows").replaceChildren(...rows);
  }

  function controllerRow(row) {
    const tr = element("tr");
    tr.dataset.row = String(row);
    tr.append(element("th", "number"));
    for (const def of kControllerFields) {
      const cell = element("td");
      const input = controllerInput(def);
      input.setAttribute("aria-label", def.label);
      input.dataset.field = def.field;
      const commit = () => commitController(def, input, row);
      if (def.checkbox || def.select) input.addEventListener("change", commit);
      else onEnter(input, commit);
      cell.append(input);
      tr.append(cell);
    }
    return tr;
  }

  function controllerInput(def) {
    if (def.select) {
      const select = element("select");
      def.select.forEach((text, value) => select.append(new Option(text, String(value))));
      return select;
    }
    const input = element("input");
    if (def.checkbox) input.type = "checkbox";
    else input.autocomplete = "off";
    return input;
  }

  function controllerIndex(row) {
    return controllerPage * kControllersPerPage + row;
  }

  function commitController(def, input, row) {
    const index = controllerIndex(row);
    let value;
    if (def.checkbox) value = input.checked ? 1 : 0;
    else if (def.select) value = Number(input.value);
    else {
      if (input.value === input.dataset.shown) return;
      value = def.kind.parse(input.value);
      if (Number.isNaN(value) || (def.field === "name" && value === "")) {
        complain("Controller " + (index + 1) + " " + def.label + ": " +
          (def.field === "name" ? "the API cannot empty a name" : def.kind.hint) + ".");
        showValue(input, def.kind.format(instance.controllers[index][def.field]), true);
        return;
      }
    }
    run(["controllers", index, def.field], value, () => "Controller " + (index + 1) + " " + def.label + " changed.");
  }

  function showControllers(force) {
    const select = byId("f-controller-page");
    for (const option of select.options) setText(option, pageTitle(Number(option.value)));
    showValue(select, String(controllerPage), force);
    showValue(byId("f-page-name"), details ? details.pages[controllerPage] : "", force);
    for (const tr of byId("controller-rows").children) {
      const index = controllerIndex(Number(tr.dataset.row));
      const c = instance.controllers[index];
      setText(tr.querySelector(".number"), String(index + 1));
      for (const def of kControllerFields) {
        const input = tr.querySelector('[data-field="' + def.field + '"]');
        if (def.checkbox) showChecked(input, c[def.field] !== 0);
        else if (def.select) showValue(input, String(c[def.field]), force);
        else showValue(input, def.kind.format(c[def.field]), force);
      }
    }
    showLive();
  }

  // ---- what moves: the articulation playing, the channel's levels, controller values

  function showLevel(name, value) {
    const meter = byId("m-" + name);
    if (meter.value !== value) meter.value = value;
    setText(byId("o-" + name), String(value));
  }

  function showLive() {
    if (!instance) return;
    const entry = live && live.id === instance.id ? live : null;
    const playing = entry ? entry.playing : -1;
    for (const button of byId("grid").querySelectorAll(".slot")) {
      const on = Number(button.dataset.slot) === playing;
      button.classList.toggle("playing", on);
      if (on) button.setAttribute("aria-description", "playing");
      else button.removeAttribute("aria-description");
    }
    const a = instance.articulations[playing];
    setText(byId("now-playing"), a ? "Articulation " + (playing + 1) + (a.name ? ": " + a.name : "") : "");
    showLevel("volume", entry ? entry.volume : 0);
    showLevel("pan", entry ? entry.pan : 0);
    setText(byId("o-pitch"), entry ? entry.pitch + " cents" : "");
    if (!entry) return;
    for (const tr of byId("controller-rows").children) {
      const value = entry.values[controllerIndex(Number(tr.dataset.row))];
      showValue(tr.querySelector('[data-field="value"]'), String(value), false);
    }
  }

  // ---- piano-roll key names: entry i of a list names key 131 - i

  const kHighestKey = 131;
  const kKeyNameEntries = 148;
  const kKeyNamesFileLimit = 1048576 - 4096;

  function keyNamesOf(s) {
    return (instance.pianokeys && instance.pianokeys.mappings[s]) || {};
  }

  function keyNamesSource(source) {
    if (!source || !source.list) return "None: the piano roll names its keys itself.";
    const title = source.title || "Stored in the project";
    if (!source.path) return title + " (" + source.named + " names, kept in the project; no file on the plugin's computer).";
    if (source.missing) return title + ": " + source.path + " is missing; the " + source.named + " names kept in the project are used.";
    return title + " (" + source.named + " names from " + source.path + ").";
  }

  function showKeyNames() {
    const source = details ? details.keynames[slot] : null;
    setText(byId("keynames-heading"), "Piano-roll key names of articulation " + (slot + 1));
    setText(byId("keynames-source"), keyNamesSource(source));
    byId("reload-keynames").disabled = !(source && source.path);
    byId("clear-keynames").disabled = !(source && source.list);
    byId("download-keynames").disabled = !(source && source.list);
    const names = keyNamesOf(slot);
    const key = slot + JSON.stringify(names) + altMiddleC();
    const body = byId("keyname-rows");
    if (body.dataset.key === key) return;
    body.dataset.key = key;
    const rows = Object.keys(names).map(Number).filter((i) => i <= kHighestKey).sort((x, y) => x - y).map((i) => {
      const note = kHighestKey - i;
      const tr = element("tr");
      tr.append(element("td", "", VoxNotes.noteName(note, altMiddleC(), kHighestKey) + " (" + note + ")"), element("td", "", names[i]));
      return tr;
    });
    body.replaceChildren(...rows);
    byId("keynames-table").hidden = rows.length === 0;
  }

  // Runs a change of the details and shows them as the server read them back; null on failure.
  async function changeDetails(name, ...args) {
    try {
      const answer = await hooks.change(name, ...args);
      showDetails(answer, true);
      return answer;
    } catch (error) {
      complain("Not changed: " + error.message + ".");
      refresh(true);
      return null;
    }
  }

  async function loadKeyNames() {
    const input = byId("load-keynames");
    const file = input.files[0];
    input.value = "";
    if (!file) return;
    if (file.size > kKeyNamesFileLimit) {
      complain(file.name + " was not loaded: the file is too large for the API (at most 1 MiB).");
      return;
    }
    const at = slot;
    const answer = await changeDetails("loadKeyNames", at, file.name, await file.text());
    if (answer) say("Articulation " + (at + 1) + " names " + answer.keynames[at].named + " keys from " + file.name + ".");
  }

  async function keyNamesCommand(name, done) {
    const at = slot;
    const answer = await changeDetails(name, at);
    if (answer) say("Key names of articulation " + (at + 1) + " " + done + ".");
  }

  // The names as the plugin writes them: one a line, every entry.
  function downloadKeyNames() {
    const names = keyNamesOf(slot);
    const lines = [];
    for (let i = 0; i < kKeyNameEntries; ++i) lines.push((names[i] || "") + "\r\n");
    const source = details && details.keynames[slot];
    const link = element("a");
    link.href = URL.createObjectURL(new Blob(lines, { type: "text/plain" }));
    link.download = ((source && source.title) || "Articulation " + (slot + 1) + " key names") + ".txt";
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
  }

  // ---- bank files

  async function exportBank() {
    try {
      const text = await hooks.exportBank();
      const link = element("a");
      link.href = URL.createObjectURL(new Blob([text], { type: "application/json" }));
      link.download = "Port " + instance.port + " channel " + VoxView.channelText(instance.channel) + ".krylvox";
      document.body.append(link);
      link.click();
      link.remove();
      setTimeout(() => URL.revokeObjectURL(link.href), 0);
      say("Bank exported.");
    } catch (error) {
      complain("Could not export the bank: " + error.message + ".");
    }
  }

  let mapBanks = [];  // the banks of the last map file read

  function showLeftOut(lines) {
    const list = byId("left-out");
    list.replaceChildren(...lines.map((line) => element("li", "", line)));
    list.hidden = lines.length === 0;
  }

  // A select's choices in groups: items of one group under one heading, in the order given.
  function fillGroupedChoices(select, items, groupOf, labelOf, valueOf) {
    const groups = new Map();
    const loose = [];
    items.forEach((item, index) => {
      const option = element("option", "", labelOf(item));
      option.value = valueOf(item, index);
      const group = groupOf(item);
      if (!group) loose.push(option);
      else {
        if (!groups.has(group)) groups.set(group, Object.assign(element("optgroup"), { label: group }));
        groups.get(group).append(option);
      }
    });
    select.append(...loose, ...groups.values());
  }

  async function loadBankText(text, name, leftOut) {
    const answer = await hooks.importBank(text);
    if (answer) say(name + " loaded." + (leftOut.length ? " What it left out is listed below." : ""));
    showLeftOut(leftOut);
  }

  async function loadMapBank(index) {
    const bank = mapBanks[index];
    if (!bank) return;
    try {
      await loadBankText(JSON.stringify(bank.articulations), bank.name, bank.leftout);
    } catch (error) {
      complain("Could not load " + bank.name + ": " + error.message + ".");
    }
  }

  async function importMap(file, text, extension) {
    byId("map-bank-field").hidden = true;
    showLeftOut([]);
    let converted;
    try {
      converted = await VoxApi.convertMap(extension, text, file.size);
    } catch (error) {
      complain("Could not import " + file.name + ": " + error.message + ".");
      return;
    }
    if (converted.error) {
      complain(file.name + " was not imported: " + converted.error + ".");
      return;
    }
    mapBanks = converted.banks;
    if (mapBanks.length === 1) {
      await loadMapBank(0);
      return;
    }
    const select = byId("map-banks");
    select.replaceChildren();
    fillGroupedChoices(select, mapBanks, (bank) => bank.group, (bank) => bank.name, (bank, index) => String(index));
    byId("map-bank-field").hidden = false;
    say(file.name + " holds " + mapBanks.length + " banks: choose one and load it.");
  }

  async function fillReadyBanks() {
    try {
      const paths = await VoxApi.readyBanks();
      const groupOf = (path) => path.split("/").slice(0, -1).join(" / ") || "Examples";
      const nameOf = (path) => path.split("/").pop().replace(/\.krylvox$/, "");
      fillGroupedChoices(byId("ready-banks"), paths, groupOf, nameOf, (path) => path);
    } catch (error) {
      // An older plugin without ready banks: the list stays empty.
    }
  }

  async function loadReadyBank() {
    const path = byId("ready-banks").value;
    if (!path) return;
    const name = path.split("/").pop().replace(/\.krylvox$/, "");
    try {
      await loadBankText(await VoxApi.readyBank(path), name, []);
    } catch (error) {
      complain("Could not load " + name + ": " + error.message + ".");
    }
  }

  async function importBank() {
    const input = byId("import-bank");
    const file = input.files[0];
    input.value = "";
    if (!file) return;
    const text = await file.text();
    const extension = VoxApi.mapExtension(file.name);
    if (extension) {
      await importMap(file, text, extension);
      return;
    }
    showLeftOut([]);
    const problem = VoxApi.bankProblem(text, file.size);
    if (problem) {
      complain(file.name + " was not imported. " + problem);
      return;
    }
    try {
      const answer = await hooks.importBank(text);
      if (answer) say(file.name + " imported.");
    } catch (error) {
      complain("Could not import " + file.name + ": " + error.message + ".");
    }
  }

  // ---- the whole editor

  function init(callbacks) {
    hooks = callbacks;
    onEnter(byId("f-port"), commitPort);
    byId("f-channel").addEventListener("change", commitChannel);
    for (const def of kArticulationFields) onEnter(byId(def.input), () => commitArticulationField(def));
    byId("f-mode").addEventListener("change", commitMode);
    byId("choose-icon").addEventListener("click", toggleIconPicker);
    byId("export-bank").addEventListener("click", exportBank);
    byId("import-bank").addEventListener("change", importBank);
    byId("load-map-bank").addEventListener("click", () => loadMapBank(Number(byId("map-banks").value)));
    byId("load-ready-bank").addEventListener("click", loadReadyBank);
    fillReadyBanks();
    byId("load-keynames").addEventListener("change", loadKeyNames);
    byId("reload-keynames").addEventListener("click", () => keyNamesCommand("reloadKeyNames", "reloaded"));
    byId("clear-keynames").addEventListener("click", () => keyNamesCommand("clearKeyNames", "cleared"));
    byId("download-keynames").addEventListener("click", downloadKeyNames);
    buildOptions();
    buildControllers();
  }

  // Opens an instance: the plugin's own editor decides where the page starts.
  function open(opened) {
    instance = opened;
    details = null;
    slot = Math.min(Math.max(opened.editing, 0), opened.articulations.length - 1);
    controllerPage = Math.min(Math.max(Math.floor(opened.controllerstart / kControllersPerPage), 0), kControllerPages - 1);
    setText(byId("message"), "");
    setText(byId("problem"), "");
    refresh(true);
  }

  // A new reading of the open instance; null when it is gone.
  function update(latest) {
    byId("gone").hidden = latest !== null;
    if (!latest) return;
    instance = latest;
    refresh(false);
  }

  function refresh(force) {
    if (!instance) return;
    setText(byId("editor-heading"), VoxView.title(instance));
    showValue(byId("f-port"), String(instance.port), force);
    fillChannelChoices(byId("f-channel"));
    showValue(byId("f-channel"), String(instance.channel), force);
    showGrid();
    showArticulation(force);
    showOptions();
    showControllers(force);
    showKeyNames();
  }

  // The open instance's page names and key-name sources, as GET /instance/ID answers.
  function showDetails(latest, force) {
    if (!instance || !latest || latest.id !== instance.id) return;
    details = latest;
    showControllers(force);
    showKeyNames();
  }

  function showLiveValues(entry) {
    live = entry;
    showLive();
  }

  return { init, open, update, showDetails, showLive: showLiveValues };
})();
