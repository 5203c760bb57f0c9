#pragma once

// The application object: runs the main window modally and ends when it ends.
class CTarnwickApp {
public:
    bool InitInstance();
};
