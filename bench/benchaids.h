#pragma once

// The writing aids on a 50 MB news file in the window: a keystroke and a page
// scroll with and without the spelling marks, Find next (F3) anywhere in the
// text, and Replace all of 100,000 matches.
int benchAids(int runs);

// A 200 KB paragraph on one line with the spelling marks: a keystroke, idling.
int benchParagraph(int runs);
