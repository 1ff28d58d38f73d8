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

function described(note) {
  if (note === null) return "none";
  if (Number.isNaN(note)) return "invalid";
  return note < 0 ? "below" : note > 127 ? "above" : String(note);
}

test("reads every text of the shared table as the editor does", () => {
  const lines = fs.readFileSync(new URL("../editor/note_texts.tsv", here), "utf8").split("\n");
  let cases = 0;
  for (const line of lines) {
    if (line === "" || line.startsWith("#")) continue;
    const close = line.lastIndexOf('"');
    const text = line.slice(1, close);
    const [standard, alternative] = line.slice(close + 2).split("\t");
    assert.equal(described(readNote(text, false)), standard, JSON.stringify(text));
    assert.equal(described(readNote(text, true)), alternative, JSON.stringify(text) + " (C4)");
    // The page stores only a key in range, or none.
    const stored = parseNote(text, false);
    assert.ok(stored === -1 || Number.isNaN(stored) || String(stored) === standard, JSON.stringify(text));
    ++cases;
  }
  assert.ok(cases > 40);
});
