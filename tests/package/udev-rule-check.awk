# Reads a udev rules file the way udev's own parser does (KEY[{attr}] OP
# "value" pairs separated by commas or blanks, backslash continuation lines)
# and rejects what udev would reject or silently never match: an unknown key,
# an operator the key does not take, a missing attribute name, an unquoted or
# unterminated value, and USB identifiers in a spelling sysfs never reports.
# For every rule that tags a tty with "uaccess" it prints "vendor:product", so
# the caller can compare the granted products with the ones it expects.
# Errors go to standard error as "file:line: message"; the exit status is 1
# when there was any.
# Written for POSIX awk (Debian's default awk is mawk).

BEGIN {
    match_only = "== !="
    split("ACTION DEVPATH KERNEL KERNELS SUBSYSTEM SUBSYSTEMS DRIVER DRIVERS TAGS RESULT", keys, " ")
    for (i in keys) { ops[keys[i]] = match_only; attr[keys[i]] = "none" }
    ops["ATTRS"] = match_only;        attr["ATTRS"] = "required"
    ops["CONST"] = match_only;        attr["CONST"] = "required"
    ops["TEST"] = match_only;         attr["TEST"] = "optional"
    ops["NAME"] = "== != = :=";       attr["NAME"] = "none"
    ops["SYMLINK"] = "== != = += -= :="; attr["SYMLINK"] = "none"
    ops["TAG"] = "== != = += -= :=";  attr["TAG"] = "none"
    ops["ATTR"] = "== != =";          attr["ATTR"] = "required"
    ops["SYSCTL"] = "== != =";        attr["SYSCTL"] = "required"
    ops["ENV"] = "== != = += :=";     attr["ENV"] = "required"
    ops["PROGRAM"] = "== != =";       attr["PROGRAM"] = "none"
    ops["IMPORT"] = "== != =";        attr["IMPORT"] = "required"
    ops["OWNER"] = "= :=";            attr["OWNER"] = "none"
    ops["GROUP"] = "= :=";            attr["GROUP"] = "none"
    ops["MODE"] = "= :=";             attr["MODE"] = "none"
    ops["SECLABEL"] = "= += :=";      attr["SECLABEL"] = "required"
    ops["RUN"] = "= += :=";           attr["RUN"] = "optional"
    ops["OPTIONS"] = "= +=";          attr["OPTIONS"] = "none"
    ops["LABEL"] = "=";               attr["LABEL"] = "none"
    ops["GOTO"] = "=";                attr["GOTO"] = "none"
    errors = 0
    pending = ""
}

function fail(message) {
    printf "%s:%d: %s\n", FILENAME, start_line, message > "/dev/stderr"
    errors++
}

function allowed(op, list,    n, i, parts) {
    n = split(list, parts, " ")
    for (i = 1; i <= n; i++)
        if (parts[i] == op)
            return 1
    return 0
}

function check_rule(rule,    key, name, attribute, op, value, is_tty, uaccess, vendor, product) {
    is_tty = 0; uaccess = 0; vendor = ""; product = ""
    while (1) {
        sub(/^[ \t,]+/, "", rule)
        if (rule == "")
            break
        if (!match(rule, /^[A-Za-z_]+(\{[^}]*\})?/)) {
            fail("expected a key at \"" rule "\"")
            return
        }
        key = substr(rule, 1, RLENGTH)
        rule = substr(rule, RLENGTH + 1)
        name = key; attribute = ""
        if (index(key, "{") > 0) {
            name = substr(key, 1, index(key, "{") - 1)
            attribute = substr(key, index(key, "{") + 1)
            attribute = substr(attribute, 1, length(attribute) - 1)
        }
        if (!(name in ops)) {
            fail("unknown key " name)
            return
        }
        if (attr[name] == "required" && attribute == "")
            fail(name " needs an attribute name in braces")
        if (attr[name] == "none" && index(key, "{") > 0)
            fail(name " takes no attribute")

        sub(/^[ \t]+/, "", rule)
        if (!match(rule, /^(==|!=|\+=|-=|:=|=)/)) {
            fail("expected an operator after " key)
            return
        }
        op = substr(rule, 1, RLENGTH)
        rule = substr(rule, RLENGTH + 1)
        if (!allowed(op, ops[name]))
            fail("operator " op " not allowed for " name)

        sub(/^[ \t]+/, "", rule)
        if (substr(rule, 1, 1) != "\"") {
            fail("value of " key " is not in double quotes")
            return
        }
        if (!match(rule, /^"([^"\\]|\\.)*"/)) {
            fail("value of " key " has no closing quote")
            return
        }
        value = substr(rule, 2, RLENGTH - 2)
        rule = substr(rule, RLENGTH + 1)
        if (rule != "" && rule !~ /^[ \t,]/) {
            fail("expected a comma after " key op "\"" value "\"")
            return
        }

        if (name == "SUBSYSTEM" && op == "==" && value == "tty")
            is_tty = 1
        if (name == "TAG" && (op == "+=" || op == "=") && value == "uaccess")
            uaccess = 1
        if (name == "ATTRS" && (attribute == "idVendor" || attribute == "idProduct")) {
            if (value !~ /^[0-9a-f][0-9a-f][0-9a-f][0-9a-f]$/)
                fail(key " \"" value "\" never matches: sysfs reports four lower-case hex digits")
            else if (attribute == "idVendor")
                vendor = value
            else
                product = value
        }
    }
    if (is_tty && uaccess && vendor != "" && product != "")
        print vendor ":" product
}

{
    if (pending == "")
        start_line = FNR
    line = $0
    if (line ~ /\\$/) {
        pending = pending substr(line, 1, length(line) - 1)
        next
    }
    line = pending line
    pending = ""
    sub(/^[ \t]+/, "", line)
    if (line == "" || substr(line, 1, 1) == "#")
        next
    check_rule(line)
}

END {
    if (pending != "")
        fail("file ends inside a continued line")
    exit (errors > 0)
}
