# Turns the measurements of bench/run into the performance table (Markdown).
# Input lines: "TAG key=value ..." per run, and "parser CSV" lines of Google
# Benchmark.

function median(tag, key,    count, values, i, j, swap) {
    count = runs[tag]
    for (i = 1; i <= count; i++)
        values[i] = value[tag, i, key]
    for (i = 1; i <= count; i++)
        for (j = i + 1; j <= count; j++)
            if (values[j] < values[i]) { swap = values[i]; values[i] = values[j]; values[j] = swap }
    return count % 2 ? values[(count + 1) / 2] : (values[count / 2] + values[count / 2 + 1]) / 2
}

function largest(tag, key,    i, most) {
    most = value[tag, 1, key]
    for (i = 2; i <= runs[tag]; i++)
        if (value[tag, i, key] > most) most = value[tag, i, key]
    return most
}

function allVerified(tag,    i) {
    for (i = 1; i <= runs[tag]; i++)
        if (value[tag, i, "ok"] != 1) return 0
    return 1
}

# The wire bound of a serial write: every byte sent and received, 10 bit
# times each at 9600 baud.
function wireSeconds(tag) {
    return (median(tag, "sent") + median(tag, "received")) * 10 / 9600
}

function wallSeconds(tag) { return median(tag, "wall_ms") / 1000 }

function failedNote(tag) { return allVerified(tag) ? "" : "write FAILED; " }

# One serial write against its wire bound.
function serialRow(tag, measure, goal) {
    row(measure, sprintf("%.2f s", wallSeconds(tag)), sprintf("wire %.2f s", wireSeconds(tag)),
        sprintf("%.2f", wallSeconds(tag) / wireSeconds(tag)), goal)
}

# The serial rows of one settings file: content framing against the goal;
# beside it content framing with the settle of a USB serial adapter, and
# strict framing.
function serial(settings, described,    content, usb, strict, bytes, ratio) {
    content = "serial_content_" settings
    usb = "serial_usb_" settings
    strict = "serial_strict_" settings
    bytes = median(content, "sent") + median(content, "received")
    ratio = wallSeconds(content) / wireSeconds(content)
    serialRow(content, sprintf("Full write, serial 9600 baud, %s (%d bytes): content framing, wall / wire bound",
                               described, bytes),
              "<= 1.3: " verdict(ratio <= 1.3 && allVerified(content)))
    serialRow(usb,
              sprintf("Full write, serial 9600 baud, %s: content framing with a USB adapter's 20 ms settle, wall / wire bound",
                      described),
              failedNote(usb) "for comparison")
    serialRow(strict, sprintf("Full write, serial 9600 baud, %s: strict framing, wall / wire bound", described),
              failedNote(strict) sprintf("%.1f x content framing", wallSeconds(strict) / wallSeconds(content)))
}

function verdict(met) { return met ? "met" : "MISSED" }

# A fleet of N devices, J at once, against its ideal: N / J rounds (the last
# one full or not) of one device written alone.
function fleetIdealSeconds(tag,    rounds) {
    rounds = int((value[tag, 1, "devices"] + value[tag, 1, "jobs"] - 1) / value[tag, 1, "jobs"])
    return rounds * value[tag, 1, "single_wall_ms"] / 1000
}

function fleetName(tag) {
    return sprintf("Fleet: %d devices at %d ms reply latency, --jobs %d", value[tag, 1, "devices"],
                   value[tag, 1, "latency_ms"], value[tag, 1, "jobs"])
}

function fleetWall(tag,    wall, ideal) {
    wall = value[tag, 1, "wall_ms"] / 1000
    ideal = fleetIdealSeconds(tag)
    row(fleetName(tag) ": wall time / ideal (" value[tag, 1, "devices"] " / " value[tag, 1, "jobs"] \
        " x one telvorctl write with backup alone)", sprintf("%.1f s", wall), sprintf("ideal %.1f s", ideal),
        sprintf("%.2f", wall / ideal), (value[tag, 1, "ok"] == 1 ? "" : "a device NOT written; ") "<= 1.3: " \
        verdict(wall / ideal <= 1.3 && value[tag, 1, "ok"] == 1))
}

function row(measure, measured, reference, ratio, goal) {
    printf "| %s | %s | %s | %s | %s |\n", measure, measured, reference, ratio, goal
}

$1 == "parser" {
    line = substr($0, 8)
    count = split(line, cell, ",")
    for (i = 1; i <= count; i++) gsub(/"/, "", cell[i])
    if (cell[1] == "name") {
        for (i = 1; i <= count; i++) column[cell[i]] = i
        next
    }
    name = cell[1]
    unit = cell[column["time_unit"]]
    scale = unit == "ns" ? 1e-3 : unit == "us" ? 1 : unit == "ms" ? 1e3 : 1e6
    parserMicroseconds[name] = cell[column["real_time"]] * scale
    parserBytes[name] = cell[column["answer_bytes"]]
    next
}

{
    tag = $1
    n = ++runs[tag]
    for (i = 2; i <= NF; i++) {
        split($i, pair, "=")
        value[tag, n, pair[1]] = pair[2]
    }
}

END {
    printf "Measured %s on %s.\n\n", date, machine
    print "| Measure | Measured | Reference | Ratio | Goal |"
    print "|---|---|---|---|---|"

    wall0 = median("tcp0", "wall_ms")
    row("Full write, TCP, every text full, device latency 0 ms: wall time (median of " runs["tcp0"] ")",
        sprintf("%.1f ms", wall0), "goal 100 ms", sprintf("%.2f", wall0 / 100),
        "< 1: " verdict(wall0 < 100 && allVerified("tcp0")))

    wall20 = median("tcp20", "wall_ms"); cpu20 = median("tcp20", "cpu_ms")
    row("Full write, TCP, every text full, device latency 20 ms: client CPU / wall (median of " runs["tcp20"] ")",
        sprintf("%.1f ms", cpu20), sprintf("wall %.2f s", wall20 / 1000), sprintf("%.2f %%", 100 * cpu20 / wall20),
        "< 2 %: " verdict(cpu20 / wall20 < 0.02 && allVerified("tcp20")))

    # What recording adds to a write: its own work, timed alone; and the
    # recorded write against the plain one, run by run, where the device's
    # jitter shows too.
    aloneH = median("tcp0h", "record_ms")
    row("History: time recording adds to a TCP full write, device latency 0 ms: opening the history, the running " \
        "row with the image sent, the completed row (median of " runs["tcp0h"] ")",
        sprintf("%.2f ms", aloneH), "goal 5 ms", sprintf("%.2f", aloneH / 5), "< 1: " verdict(aloneH < 5))
    plainH = median("tcp0h", "wall_ms"); recordedH = median("tcp0h", "recorded_ms")
    row("History: the same write recorded, wall time (median of " runs["tcp0h"] ")", sprintf("%.1f ms", recordedH),
        sprintf("plain %.1f ms", plainH), sprintf("%.2f", recordedH / plainH), failedNote("tcp0h") "for comparison")

    serial("groups", "factory texts")
    serial("full", "every text full")

    row(sprintf("Parser: a full \"SET?\" answer (%d bytes)", parserBytes["parseSetAnswer"]),
        sprintf("%.1f us", parserMicroseconds["parseSetAnswer"]), "", "", "")
    row("Parser: the six answers of a v3.6E read", sprintf("%.1f us", parserMicroseconds["parseEveryAnswer"]), "", "", "")
    row("Settings file load", sprintf("%.1f us", parserMicroseconds["loadSettingsFile"]), "", "", "")
    row("Settings file save (synced to the disk)",
        sprintf("%.2f ms", parserMicroseconds["saveSettingsFile/real_time"] / 1000), "", "", "")

    paint = median("window", "first_paint_ms")
    row("Window (offscreen): start to first paint (median of " runs["window"] ")", sprintf("%.0f ms", paint),
        "goal 300 ms", sprintf("%.2f", paint / 300), "< 1: " verdict(paint < 300))
    windowMb = largest("window", "max_rss_kb") * 1024 / 1e6
    row("Window: maximum resident memory", sprintf("%.1f MB", windowMb), "goal 80 MB", sprintf("%.2f", windowMb / 80),
        "< 1: " verdict(windowMb < 80))
    fleetWall("fleet1000")
    perDevice = value["fleet1000", 1, "cpu_ms"] / value["fleet1000", 1, "devices"]
    single = value["fleet1000", 1, "single_cpu_ms"]
    row(fleetName("fleet1000") ": telvorctl CPU per device / CPU of one telvorctl write with backup",
        sprintf("%.1f ms", perDevice), sprintf("write %.1f ms", single), sprintf("%.2f", perDevice / single),
        "<= 1.5: " verdict(perDevice / single <= 1.5))
    fleetMb = value["fleet1000", 1, "max_rss_kb"] * 1024 / 1e6
    row(fleetName("fleet1000") ": telvorctl maximum resident memory", sprintf("%.1f MB", fleetMb), "goal 200 MB",
        sprintf("%.2f", fleetMb / 200), "< 1: " verdict(fleetMb < 200))
    fleetWall("fleet200")
    fleetWall("fleet20")

    ctlMb = largest("ctl", "max_rss_kb") * 1024 / 1e6
    row("telvorctl write over TCP: maximum resident memory", sprintf("%.1f MB", ctlMb), "goal 15 MB",
        sprintf("%.2f", ctlMb / 15), "< 1: " verdict(ctlMb < 15))
}
