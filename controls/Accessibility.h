#pragma once

// What assistive tools (screen readers, switch access) see of the custom controls: a graphic
// button is a push button named by its accessible name or else its hint, hidden or disabled
// as the system sees it, and pressable; the owner-drawn list box is a list.

// Installs the controls' accessibility once per process.
void InstallControlAccessibility();
