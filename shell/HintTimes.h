#pragma once
// How soon tooltips come: Qt reads the delay from the style, not from a
// setting, so the application's style is wrapped once to answer it.
// (Qt already keeps a tooltip up 10 s, longer for long texts.)
void ApplyHintTimes();
