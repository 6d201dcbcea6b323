#pragma once

namespace grid {

// The Windows key code of a Qt key the grid acts on (letters keep their code), else 0.
int VirtualKeyFromQt(int qtKey);

} // namespace grid
