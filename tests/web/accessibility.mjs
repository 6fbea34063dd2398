// What a screen reader finds on the page: the browser's accessibility tree, read through the
// DevTools protocol, and the game's window in it as the replay tool's `show` prints it.

// The tree, with the nodes the browser leaves out of it skipped over.
export async function axTree(page) {
  const cdp = await page.context().newCDPSession(page);
  const {nodes} = await cdp.send('Accessibility.getFullAXTree');
  await cdp.detach();
  const byId = new Map(nodes.map((node) => [node.nodeId, node]));
  const wrap = (node) => ({
    role: node.role?.value, name: node.name?.value ?? '', description: node.description?.value ?? '',
    property: (name) => node.properties?.find((p) => p.name === name)?.value.value,
    children: () => (node.childIds ?? []).map((id) => byId.get(id)).filter(Boolean).flatMap(
        (child) => (child.ignored ? wrap(child).children() : [wrap(child)])),
  });
  return wrap(nodes[0]);
}

export function findAll(node, wanted) {
  return [...(wanted(node) ? [node] : []), ...node.children().flatMap((child) => findAll(child, wanted))];
}

export const role = (...roles) => (node) => roles.includes(node.role);

// The `visible`, `enabled`, List1 and List2 lines of the replay tool's `show`, from the tree
// alone, which holds only what is shown: a control is visible when a screen reader finds it
// by its caption (a list by its name), enabled when it is not disabled there; a shown list's
// entries are its options, and its highlight the selected one.
export async function showLines(page, tables) {
  const found = new Map(findAll(await axTree(page), role('button', 'listbox')).map((node) => [node.name, node]));
  const shown = tables.controls.filter((control) => found.get(control.caption)?.role === control.role);
  const enabled = shown.filter((control) => found.get(control.caption).property('disabled') !== true);
  const lists = shown.filter((control) => control.role === 'listbox').sort((a, b) => a.name.localeCompare(b.name))
      .map((control) => {
    const options = findAll(found.get(control.caption), role('option'));
    const highlight = options.findIndex((option) => option.property('selected') === true);
    return [control.name, ...options.map((option) => `[${option.name}]`), `highlight=${highlight}`].join(' ');
  });
  return [['visible', ...shown.map((c) => c.name)].join(' '),
          ['enabled', ...enabled.map((c) => c.name)].join(' '), ...lists];
}
