// How a step of a twinfold run ends. A step that cannot go on says why on
// standard error itself and gives kStopped; whoever called it stops as well,
// adding nothing, and the run ends with status 1.
#pragma once

enum class [[nodiscard]] CstepEnd{kDone, kStopped};
