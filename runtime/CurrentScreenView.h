#pragma once

class ScreenView;

// The view of the render unit being drawn. The host sets it when it makes a unit current;
// scene code reads it instead of receiving the view.
extern ScreenView* CurrentScreenView;
