#pragma once

class QWidget;

// The demo's page for the cool bar and the flat menus: the window's File, Edit and Help menus
// in a menu bar, with a fourth menu of check marks, radio marks and a submenu, a status line
// naming the command chosen, and an area whose right-click menu is the job list's.
QWidget* createMenusDemoPage(QWidget* parent = nullptr);
