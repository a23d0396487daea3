// SPDX-License-Identifier: MIT
#pragma once

namespace ui {
class MainWindow;
}

// Qt aborts with a page about its plug-ins when it can't reach the display. While this
// exists (around the application object's construction), that ends the program with one
// line and status 1 instead; what Qt says meanwhile is passed on once the display is there.
class DisplayFailureInOneLine {
public:
    DisplayFailureInOneLine();
    ~DisplayFailureInOneLine();
    DisplayFailureInOneLine(const DisplayFailureInOneLine&) = delete;
    DisplayFailureInOneLine& operator=(const DisplayFailureInOneLine&) = delete;
};

// Qt calls exit() when the connection to the X server breaks, and no event loop runs after
// that: while this exists, the window's files are stored on that way out too, so that an
// edit from just before is not lost.
class StoreWhenDisplayLost {
public:
    explicit StoreWhenDisplayLost(ui::MainWindow& window);
    ~StoreWhenDisplayLost();
    StoreWhenDisplayLost(const StoreWhenDisplayLost&) = delete;
    StoreWhenDisplayLost& operator=(const StoreWhenDisplayLost&) = delete;
};
