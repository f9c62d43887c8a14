// The page's front-end on the module's logic, in small parts packed into one
// script: each part below is one concern and hands the others a few calls.
// What they share: the module (once it has started) and the facts it hands
// over about itself (its layout's rectangles by name, the picture's size).
const page = { M: null, facts: null };
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const byId = (id) => document.getElementById(id);
