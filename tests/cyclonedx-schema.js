// node tests/cyclonedx-schema.js FILE...: each CycloneDX 1.6 JSON file FILE
// against the schema that the CycloneDX project's own library bundles; says
// what fails, and exits 1 if any does.
const { readFileSync } = require('node:fs');
const { Validation } = require('@cyclonedx/cyclonedx-library');
(async () => {
  const validator = new Validation.JsonStrictValidator('1.6');
  let failed = 0;
  for (const file of process.argv.slice(2)) {
    const errors = await validator.validate(readFileSync(file, 'utf8'));
    if (errors !== null) {
      failed = 1;
      console.log(`${file}: ${JSON.stringify(errors)}`);
    }
  }
  process.exit(failed);
})();
