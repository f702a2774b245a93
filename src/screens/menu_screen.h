#pragma once
#include "app/reader.h"

void paintMenuScreen(Reader &r);
