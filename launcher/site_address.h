// The maker's web site: its home page is the collect place of the game pages,
// and the score upload goes to its "/cgi-bin/hiscore.cgi". Set when the
// launcher is built (LUDORA_SITE_URL).
#pragma once

#ifndef LUDORA_SITE_URL
#define LUDORA_SITE_URL "http://127.0.0.1:8080"
#endif

constexpr const char* MakerSiteAddress = LUDORA_SITE_URL;
