// The one report of the web-only checks, as every check reports: a "FAIL: ..." line for each
// that failed, which fails the run, and "N checks passed" last.
let passed = 0;

export function same(actual, expected, what) {
  if (JSON.stringify(actual) === JSON.stringify(expected)) {
    ++passed;
  } else {
    console.log(`FAIL: ${what}: ${JSON.stringify(actual)}, not ${JSON.stringify(expected)}`);
    process.exitCode = 1;
  }
}

export function report() {
  console.log(`${passed} checks passed`);
}
