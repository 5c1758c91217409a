// The site's HTML pages.
#include "pages.h"

#include "html_text.h"
#include "utc_time.h"

namespace ludora::site {

namespace {

std::string shown_name(const std::string& player) {
    return player.empty() ? "Unnamed player" : player;
}

std::string page(const std::string& title, const std::string& body) {
    std::string html;
    html.reserve(body.size() + 1024);
    html += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<title>";
    html += html_escape(title);
    html += " \xE2\x80\x94 Ludora</title>\n<link rel=\"stylesheet\" href=\"/style.css\">\n"
            "</head>\n<body>\n<header class=\"masthead\"><a class=\"brand\" href=\"/\">Ludora</a>"
            "<span class=\"tagline\">Halls of fame of the Ludora games</span></header>\n<main>\n";
    html += body;
    html += "</main>\n<footer>Send your best score from Ludora: open a game's "
            "<em>High Scores</em> and press <em>Upload</em>.</footer>\n</body>\n</html>\n";
    return html;
}

std::string game_anchor(const std::string& game) {
    std::string anchor = "game-";
    for (const char c : game)
        anchor += c == ' ' ? '_' : c;
    return anchor;
}

// The top-twenty table; the row with id highlight, if any, is marked as the player's.
std::string score_table(const std::vector<ScoreRow>& top, int64_t highlight = 0) {
    std::string html = "<table class=\"scores\">\n<thead><tr><th class=\"rank\">Rank</th>"
                       "<th>Player</th><th class=\"score\">Score</th><th class=\"date\">Sent</th>"
                       "</tr></thead>\n<tbody>\n";
    for (const ScoreRow& row : top) {
        html += row.id == highlight ? "<tr class=\"yours\">" : "<tr>";
        html += "<td class=\"rank\">" + std::to_string(row.rank) + "</td><td class=\"player\">" +
                html_escape(shown_name(row.player)) + "</td><td class=\"score\">" +
                std::to_string(row.score) + "</td><td class=\"date\">" + utc_date(row.uploaded_at) +
                "</td></tr>\n";
    }
    html += "</tbody>\n</table>\n";
    return html;
}

std::string game_section(const std::string& game, const std::vector<ScoreRow>& top,
                         int64_t highlight = 0) {
    return "<section class=\"game\" id=\"" + html_escape(game_anchor(game)) + "\">\n<h2>" +
           html_escape(game) + "</h2>\n" + score_table(top, highlight) + "</section>\n";
}

} // namespace

std::string home_page(const std::vector<GameScores>& games) {
    std::string body = "<h1>Hall of Fame</h1>\n<p class=\"play\"><a href=\"/play/\">Play in your "
                       "browser</a></p>\n";
    if (games.empty()) {
        body += "<p class=\"empty\">No scores have been sent yet. Be the first: open a game's "
                "<em>High Scores</em> in Ludora and press <em>Upload</em>.</p>\n";
    } else {
        body += "<p class=\"intro\">The top twenty of every game, as the players sent them "
                "from Ludora.</p>\n";
        body += "<nav class=\"games\">";
        for (const GameScores& game : games)
            body += "<a href=\"#" + html_escape(game_anchor(game.game)) + "\">" +
                    html_escape(game.game) + "</a>";
        body += "</nav>\n";
    }
    for (const GameScores& game : games)
        body += game_section(game.game, game.top);
    return page("Hall of Fame", body);
}

std::string thanks_page(const Upload& upload, const RecordedUpload& recorded) {
    const std::string name = html_escape(shown_name(upload.player.name));
    const std::string game = html_escape(upload.game);
    std::string body = "<section class=\"notice thanks\">\n<h1>Thank you, " + name + "!</h1>\n";
    body += "<p>Your score of <strong class=\"score\">" + std::to_string(recorded.row.score) +
            "</strong> in <strong>" + game +
            "</strong> is recorded at rank <strong class=\"rank\">" +
            std::to_string(recorded.row.rank) + "</strong> of " +
            std::to_string(recorded.game_count) + ".</p>\n";
    if (recorded.already_there)
        body += "<p class=\"aside\">You had sent this score before; it is kept once.</p>\n";
    if (recorded.row.rank > kTopPlaces)
        body += "<p class=\"aside\">It is not among the top twenty yet. Keep playing!</p>\n";
    body += "</section>\n";
    body += game_section(upload.game, recorded.top, recorded.row.id);
    body += "<p class=\"more\"><a href=\"/\">Every game's hall of fame</a></p>\n";
    return page("Thank you", body);
}

std::string nothing_to_record_page(const std::string& game, const std::vector<ScoreRow>& top) {
    std::string body = "<section class=\"notice\">\n<h1>No score to send yet</h1>\n"
                       "<p>The hall of fame of <strong>" +
                       html_escape(game) +
                       "</strong> on your computer is empty, so nothing was recorded. Play a "
                       "game, then press <em>Upload</em> again.</p>\n</section>\n";
    if (!top.empty()) body += game_section(game, top);
    body += "<p class=\"more\"><a href=\"/\">Every game's hall of fame</a></p>\n";
    return page("No score to send", body);
}

std::string problem_page(const std::string& title, const std::string& detail) {
    const std::string body = "<section class=\"notice problem\">\n<h1>" + html_escape(title) +
                             "</h1>\n<p>" + html_escape(detail) +
                             "</p>\n</section>\n<p class=\"more\"><a href=\"/\">Every game's "
                             "hall of fame</a></p>\n";
    return page(title, body);
}

} // namespace ludora::site
