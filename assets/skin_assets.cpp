#include "assets/skin_assets.h"
