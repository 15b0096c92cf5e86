#pragma once

// Marks a text the user reads, written in Japanese, the source language. It stands for the
// literal itself; scripts/update-translations.sh finds every marked text for the translators,
// and the window system's host or MessagePort::text puts it into the user's language.
#define PELORIN_TEXT(text) text
