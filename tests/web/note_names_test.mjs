// The web page's reading of typed keyswitches against the table the plugin's editor is tested
// with (tests/editor/note_texts.tsv).
import { test } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import vm from "node:vm";

const here = new URL(".", import.meta.url);
const context = {};
vm.runInNewContext(fs.readFileSync(new URL("../../resources/html/note_names.js", here), "utf8") +
  "\nthis.VoxNotes = VoxNotes;", context);
const { readNote, parseNote } = context.VoxNotes;

test("reads every text of the shared table as the editor does", () => {
  const lines = fs.readFileSync(new URL("../editor/note_texts.tsv", here), "utf8").split("\n");
  let cases = 0;
  for (const line of lines) {
    if (line === "" || line.startsWith("#")) continue;
    const close = line.lastIndexOf('"');
    const text = line.slice(1, close);
    const [standard, alternative] = line.slice(close + 2).split("\t").map(Number);
    assert.equal(readNote(text, false), standard, JSON.stringify(text));
    assert.equal(readNote(text, true), alternative, JSON.stringify(text) + " (C4)");
    // The page stores what the editor's field stores: the key clamped, or none for an empty field.
    const stored = parseNote(text, false);
    assert.equal(stored, text.trim() === "" ? -1 : Math.min(127, Math.max(0, standard)), JSON.stringify(text));
    ++cases;
  }
  assert.ok(cases > 40);
});
