#pragma once

struct Reader;

bool chooseReadingFont(Reader &r);
