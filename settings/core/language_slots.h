#pragma once

// The language slot a user starts with: the slots of the language archive in the order of the
// shipped languages. English (1) for every language without a slot of its own; slots 17 and 21 (two
// more Spanish translations) are reached only by choice in the language menu.
int AutomaticLanguageIndex(unsigned primaryLanguage /* the low 10 bits of a LANGID */);
