# Sourced by the scripts that need the Debian archive this machine uses.

# The archive this machine takes its release from, as its own apt sources name
# it (deb822 .sources files or the one-line sources.list).
release_archive() {
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v suite="$1" '
            function stanza_end() { if (!done && deb && has && uri != "") { print uri; done = 1; exit 0 } deb = has = 0; uri = "" }
            /^[ \t]*$/ { stanza_end(); next }
            tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
            tolower($1) == "uris:" { uri = $2 }
            tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == suite) has = 1 }
            tolower($1) == "enabled:" && tolower($2) == "no" { deb = 0 }
            END { stanza_end() }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        sed -e 's/\[[^]]*\]//' "$file" | awk -v suite="$1" '$1 == "deb" && $3 == suite { print $2; exit 0 }'
    done
}
