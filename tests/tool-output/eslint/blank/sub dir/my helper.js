const unusedThing = 4;
module.exports = { name: missingName }
