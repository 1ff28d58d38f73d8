"use strict";
// What the page shows of an instance's data, shared by the list and the editor.
const VoxView = (function () {
  const kPerColour = 256;
  const kIconCount = 231;  // the strip holds 231 icons of 32 columns each

  function isEmptyArticulation(a) {
    return a.name === "" && a.icon === 55 && a.note === -1 && a.notev === 127 &&
      a.prog === -1 && a.modw === -1 && a.modc === -1;
  }

  function channelText(channel) {
    return channel === kPerColour ? "per colour" : String(channel + 1);
  }

  function title(instance) {
    return "Port " + instance.port + ", channel " + channelText(instance.channel);
  }

  function element(tag, className, text) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  // Changes the text only when it differs, so nothing repaints needlessly.
  function setText(node, text) {
    if (node.textContent !== text) node.textContent = text;
  }

  // A picture from the icon strip: icon k at x = 32k + 2, lit row, 27 x 27.
  function iconNode(icon) {
    const node = element("span", "icon");
    node.setAttribute("aria-hidden", "true");
    setIcon(node, icon);
    return node;
  }

  function setIcon(node, icon) {
    const valid = Number.isInteger(icon) && icon >= 0 && icon < kIconCount;
    const position = valid ? -(32 * icon + 2) + "px 0" : "";
    if (node.style.backgroundPosition !== position) node.style.backgroundPosition = position;
    node.classList.toggle("no-icon", !valid);
  }

  return { kPerColour, kIconCount, isEmptyArticulation, channelText, title, element, setText, iconNode, setIcon };
})();
