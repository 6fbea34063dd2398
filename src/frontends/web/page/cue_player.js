// The game's sound cues on the page. A cue plays to its end and the game waits for it, but
// never longer than the cue's own length and a margin, nor longer than the longest wait in
// all; a file the page cannot fetch gives a short beep instead, and one it cannot play is
// silence. Every cue follows a click or a key of the player's, so the browser lets it play.

// The promise's value, or undefined when it takes longer than `wait`.
function within(promise, wait) {
  return new Promise((resolve) => {
    const timer = setTimeout(() => resolve(undefined), wait);
    promise.then((value) => {
      clearTimeout(timer);
      resolve(value);
    });
  });
}

export class CuePlayer {
  constructor() {
    this.audio = null;  // the beep's sound context, made at the first beep
  }

  // times: {margin, longest, bell} in milliseconds. Gives a promise for the end.
  play(url, times) {
    const giveUp = performance.now() + times.longest;
    const left = () => Math.max(0, giveUp - performance.now());
    const fetched = fetch(url).then((response) => (response.ok ? response.blob() : null),
                                    () => null);
    return within(fetched, times.longest).then((file) => {
      if (file === undefined) return undefined;  // the wait is up
      if (file === null) return this.beep(Math.min(times.bell, left()));
      return this.playFile(url, file, times.margin, left());
    });
  }

  playFile(url, file, margin, longest) {
    return new Promise((resolve) => {
      const sound = new Audio();
      const source = URL.createObjectURL(file);
      let done = false;
      let timer = setTimeout(() => finish(), longest);
      const finish = () => {
        if (done) return;
        done = true;
        clearTimeout(timer);
        sound.pause();
        sound.removeAttribute('src');
        URL.revokeObjectURL(source);
        resolve();
      };
      const refused = (why) => {
        if (done) return;
        console.warn('casino: ' + url + ' could not be played: ' + why);
        finish();
      };
      sound.addEventListener('ended', finish);
      sound.addEventListener('error', () => refused(sound.error ? sound.error.message : 'error'));
      // Once it plays its length is known, and that bounds the wait.
      sound.addEventListener('playing', () => {
        const length = Number.isFinite(sound.duration) ? sound.duration * 1000 : longest;
        const rest = Math.max(0, length - sound.currentTime * 1000) + margin;
        clearTimeout(timer);
        timer = setTimeout(finish, Math.min(rest, longest));
      }, {once: true});
      sound.src = source;
      sound.play().catch((error) => refused(error.name));
    });
  }

  beep(wait) {
    return new Promise((resolve) => {
      let context = this.audio;
      try {
        if (context === null) context = this.audio = new AudioContext();
      } catch (error) {
        resolve();
        return;
      }
      const timer = setTimeout(resolve, wait);
      const tone = context.createOscillator();
      const volume = context.createGain();
      const start = context.currentTime;
      tone.frequency.value = 880;
      volume.gain.setValueAtTime(0.2, start);
      volume.gain.linearRampToValueAtTime(0, start + 0.15);
      tone.connect(volume).connect(context.destination);
      tone.addEventListener('ended', () => {
        clearTimeout(timer);
        resolve();
      });
      tone.start(start);
      tone.stop(start + 0.15);
      context.resume().catch(() => undefined);
    });
  }
}
