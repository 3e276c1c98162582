// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window's controls as the design gives them: each one's name, kind, caption and place in
// twips (15 to a pixel at the usual setting), in the order the window makes them. The window
// walks this table; how each kind looks is the window's business, the sliders' ranges are in
// call_monitor/slider_design.h, and the status bar's panels and the timer are made apart.

/// The window's client area, in twips.
inline constexpr int kClientWidth = 7860;
inline constexpr int kClientHeight = 7185;

struct ControlDesign
{
    enum Kind {
        Button,
        Frame,     ///< without border or visible caption; the options after it go into it
        Option,    ///< an option button in the frame before it
        Line,      ///< horizontal, one pixel high whatever its height in twips
        Label,     ///< a slider's label has no caption of its own: its slider gives it
        Indicator, ///< a label in Arial 16 pt bold on yellow, hidden until it is shown
        EventList, ///< a list box in a fixed-pitch face
        Slider,    ///< horizontal, ticked at every unit
        StatusBar,
    };

    const char *name;
    Kind kind;
    const char *caption; ///< null where the design gives none
    int left, top, width, height;
    /// For assistive technology, where the caption does not say it.
    const char *accessibleName = nullptr;
    const char *accessibleDescription = nullptr;
};

inline constexpr ControlDesign kControlDesigns[] = {
    {"Command1", ControlDesign::Button, "APRI / CHIUDI PORTA", 60, 60, 6375, 495},
    {"Frame2", ControlDesign::Frame, nullptr, 6480, 60, 915, 435, "Porta seriale"},
    {"Option3", ControlDesign::Option, "COM 1", 0, 0, 855, 195},
    {"Option4", ControlDesign::Option, "COM 2", 0, 240, 915, 195},
    {"Line1", ControlDesign::Line, nullptr, 0, 630, 7875, 0},
    {"Command3", ControlDesign::Button, "Attiva / Disattiva tornasquillo", 45, 720, 6360, 420,
     nullptr, "Risponditore non attivo"},
    {"Label5", ControlDesign::Indicator, "!ATTIVO!", 6435, 765, 1365, 360, nullptr,
     "Risponditore attivo"},
    {"Label3", ControlDesign::Label, "Lista eventi :", 90, 1260, 900, 195},
    {"List2", ControlDesign::EventList, nullptr, 45, 1485, 7755, 2370, "Lista eventi",
     "Una riga per ogni chiamata ricevuta"},
    {"Label1", ControlDesign::Label, nullptr, 135, 4095, 3645, 195},
    {"Slider1", ControlDesign::Slider, nullptr, 90, 4365, 7665, 510},
    {"Label2", ControlDesign::Label, nullptr, 135, 4950, 3510, 195},
    {"Slider2", ControlDesign::Slider, nullptr, 90, 5220, 7665, 510},
    {"Label4", ControlDesign::Label, nullptr, 135, 5805, 3450, 195},
    {"Slider3", ControlDesign::Slider, nullptr, 90, 6075, 7665, 510},
    {"StatusBar1", ControlDesign::StatusBar, nullptr, 0, 6750, kClientWidth, 435, "Barra di stato"},
};
