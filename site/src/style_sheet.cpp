// The one style sheet every page links: the suite's parchment, ink, navy and
// gold, and the purple rows of the launcher's hall of fame.
#include "style_sheet.h"

namespace ludora::site {

std::string_view style_sheet() {
    return R"css(:root {
  --parchment: #e9d7ac;
  --parchment-dark: #c4a470;
  --cream: #faf0d6;
  --paper: #f6ecd0;
  --stripe: #e8daec;
  --ink: #54341c;
  --ink-red: #a8281e;
  --navy: #182846;
  --gold: #f6cc48;
  --brass: #d6ac52;
  --purple: #76409c;
  --sea: #286896;
}
* { box-sizing: border-box; }
body {
  margin: 0;
  background: var(--parchment);
  color: var(--ink);
  font: 16px/1.5 "DejaVu Sans", Verdana, Arial, sans-serif;
}
.masthead {
  display: flex; align-items: baseline; gap: 1em; flex-wrap: wrap;
  background: var(--navy); color: var(--cream);
  padding: 0.6em 1.2em; border-bottom: 4px solid var(--brass);
}
.brand {
  color: var(--gold); font-size: 1.8em; font-weight: bold;
  text-decoration: none; letter-spacing: 0.03em;
}
.tagline { color: var(--cream); opacity: 0.85; }
main { max-width: 46em; margin: 0 auto; padding: 1.2em; }
h1 { color: var(--purple); margin: 0.3em 0; }
h2 { color: var(--navy); margin: 0 0 0.4em; border-bottom: 2px solid var(--brass); }
a { color: var(--sea); }
nav.games { display: flex; flex-wrap: wrap; gap: 0.5em; margin: 0.8em 0; }
nav.games a {
  background: var(--navy); color: var(--gold); text-decoration: none;
  padding: 0.2em 0.8em; border-radius: 1em;
}
section.game, section.notice {
  background: var(--cream); border: 2px solid var(--parchment-dark);
  border-radius: 8px; padding: 0.8em 1em; margin: 1em 0;
  box-shadow: 0 2px 0 var(--parchment-dark);
}
section.thanks { border-color: var(--brass); }
section.problem { border-color: var(--ink-red); }
section.problem h1 { color: var(--ink-red); }
table.scores { width: 100%; border-collapse: collapse; table-layout: fixed; }
table.scores th {
  text-align: left; color: var(--navy); font-size: 0.85em;
  text-transform: uppercase; letter-spacing: 0.05em;
}
table.scores td, table.scores th { padding: 0.25em 0.5em; }
table.scores tbody tr { background: var(--paper); }
table.scores tbody tr:nth-child(odd) { background: var(--stripe); }
table.scores tr.yours td { background: var(--gold); font-weight: bold; color: var(--ink); }
table.scores .rank { width: 4em; text-align: right; }
/* Wide enough for -2147483648, the lowest score a hall of fame holds. */
table.scores .score {
  width: calc(11ch + 1.2em); text-align: right; white-space: nowrap;
  font-variant-numeric: tabular-nums;
}
table.scores .date { width: 7.5em; text-align: right; white-space: nowrap; }
table.scores td.date { color: var(--parchment-dark); font-size: 0.85em; }
table.scores tr.yours td.date { color: var(--ink); }
/* Whatever a player typed stays in its own cell: its direction cannot turn
   the row around, and what does not fit is cut off. */
td.player { overflow-wrap: anywhere; unicode-bidi: isolate; overflow: hidden; }
.aside, .intro, .empty { font-style: italic; }
footer {
  max-width: 46em; margin: 0 auto; padding: 1em 1.2em 2em;
  font-size: 0.9em; color: var(--ink);
}
@media (max-width: 32em) { table.scores .date { display: none; } }
)css";
}

} // namespace ludora::site
