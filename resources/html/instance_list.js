"use strict";
// The list of every instance, updated in place on each poll so that nothing flickers and the
// keyboard focus stays where it is.
const VoxList = (function () {
  const { element, setText } = VoxView;
  const kShownNames = 16;
  const cards = new Map();  // id -> { item, button, ... }
  let onSelect = () => {};

  function init(select) {
    onSelect = select;
  }

  function createCard(id) {
    const item = element("li");
    const button = element("button", "card");
    button.type = "button";
    const heading = element("span", "card-title");
    const details = element("span", "card-details");
    const playing = element("span", "card-details");
    const names = element("ul", "card-names");
    button.append(heading, details, playing, names);
    button.addEventListener("click", () => onSelect(id));
    item.append(button);
    return { item, button, heading, details, playing, names, namesKey: "" };
  }

  function usedArticulations(instance) {
    return instance.articulations.filter((a) => !VoxView.isEmptyArticulation(a));
  }

  function fillNames(card, used) {
    const key = JSON.stringify(used.slice(0, kShownNames).map((a) => [a.name, a.icon])) + used.length;
    if (card.namesKey === key) return;
    card.namesKey = key;
    const rows = used.slice(0, kShownNames).map((a) => {
      const row = element("li");
      row.append(VoxView.iconNode(a.icon), element("span", "", a.name || "(unnamed)"));
      return row;
    });
    if (used.length > kShownNames) rows.push(element("li", "more", "and " + (used.length - kShownNames) + " more"));
    card.names.replaceChildren(...rows);
  }

  function updateCard(card, instance, selected, entry) {
    const used = usedArticulations(instance);
    const now = entry && instance.articulations[entry.playing];
    setText(card.playing, now ? "playing " + (entry.playing + 1) + (now.name ? ": " + now.name : "") : "");
    setText(card.heading, VoxView.title(instance));
    setText(card.details, used.length + " articulation" + (used.length === 1 ? "" : "s") +
      " \u00b7 editor " + (instance.visible ? "open" : "closed"));
    card.button.setAttribute("aria-pressed", String(selected));
    fillNames(card, used);
  }

  // Shows `instances` in the server's order; `live` maps ids to their entries of GET /live.
  function render(listNode, instances, selectedId, live) {
    const seen = new Set();
    instances.forEach((instance, index) => {
      seen.add(instance.id);
      let card = cards.get(instance.id);
      if (!card) {
        card = createCard(instance.id);
        cards.set(instance.id, card);
      }
      updateCard(card, instance, instance.id === selectedId, live.get(instance.id));
      if (listNode.children[index] !== card.item) listNode.insertBefore(card.item, listNode.children[index] || null);
    });
    for (const [id, card] of cards) {
      if (seen.has(id)) continue;
      card.item.remove();
      cards.delete(id);
    }
  }

  return { init, render };
})();
