#pragma once
#include "app/reader.h"

bool chooseReadingFont(Reader &r);
