#pragma once

// Lets screen readers see the window's own kinds of control for what they are: the tab labels
// as page tabs, the picture boxes as pictures.
void InstallAccessibleInterfaces();
