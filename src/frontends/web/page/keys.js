// The character codes by which the game knows the keys a player presses in a list box,
// named once; every other key the game hears is the character it types.
export const keyCodes = Object.freeze({Enter: 13, Escape: 27, Backspace: 8});
