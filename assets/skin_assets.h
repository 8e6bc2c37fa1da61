#pragma once
// Skin pictures compiled into the program. Filled in by the skin generator under tools/.
