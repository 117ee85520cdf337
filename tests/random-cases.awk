# Writes random inputs for matchscore, one a line as printf %b text:
#   W <tab> input <tab> input with the lists exchanged <tab> same <tab> cross
# for well-formed input with its expected counts, or
#   R <tab> input
# for anything else: stray characters, out-of-range numbers, truncation, bytes.
# Usage: awk -v seed=N -v cases=N -f random-cases.awk

function pick(choices,   items, n) {
    n = split(choices, items, "|")
    return items[int(rand() * n) + 1]
}

function gap() {
    return pick(" |\t|\n|\r\n|  |\n\n\t|\v|\f")
}

function spell(value,   sign) {
    if (value < 0) {
        sign = "-"
        value = -value
    } else {
        sign = pick(value == 0 ? "|+|-" : "|+")
    }
    return sign substr("00", 1, int(rand() * 3)) sprintf("%.0f", value)
}

# Bytes outside letters, digits and signs go as octal escapes.
function escape(text,   out, i, c) {
    out = ""
    for (i = 1; i <= length(text); i++) {
        c = substr(text, i, 1)
        out = out (c ~ /[0-9A-Za-z+-]/ ? c : sprintf("\\0%03o", code[c]))
    }
    return out
}

function wellFormed(   k, i, j, value, word, input, swapped, same, cross) {
    for (k = 1; k <= 8; k++) {
        # Few distinct values, so that equal pairs are common.
        value[k] = rand() < 0.05 ? +pick("2147483647|-2147483648") : int(rand() * 7) - 3
        word[k] = spell(value[k])
    }
    input = swapped = ""
    for (k = 1; k <= 8; k++) {
        input = input gap() word[k]
        swapped = swapped gap() word[(k + 3) % 8 + 1]
    }
    same = cross = 0
    for (i = 1; i <= 4; i++)
        for (j = 5; j <= 8; j++)
            if (value[i] == value[j])
                if (i == j - 4) same++; else cross++
    print "W\t" escape(input gap()) "\t" escape(swapped) "\t" same "\t" cross
}

function garbled(   n, k, text) {
    text = ""
    n = 1 + int(rand() * 10)
    for (k = 0; k < n; k++)
        text = text gap() pick("7|-0|+00012|2147483648|-2147483649|4294967297|99999999999999999999|x|.5|--3|+|-|3e5|0x1f")
    print "R\t" escape(substr(text, 1, int(rand() * (length(text) + 1))))
}

function bytes(   n, k, out) {
    out = ""
    n = int(rand() * 40)
    for (k = 0; k < n; k++)
        out = out sprintf("\\0%03o", rand() < 0.5 ? int(rand() * 256) : code[pick("0|1|7|-|+| |\n")])
    print "R\t" out
}

BEGIN {
    srand(seed)
    for (k = 1; k < 256; k++)
        code[sprintf("%c", k)] = k
    for (n = 0; n < cases; n++) {
        if (n % 3 == 0) wellFormed()
        else if (n % 3 == 1) garbled()
        else bytes()
    }
}
