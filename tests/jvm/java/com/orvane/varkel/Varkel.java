package com.orvane.varkel;

import java.io.IOException;
import java.io.Writer;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.Map;
import java.util.TreeMap;

/**
 * Stand-in for the product's main class, for the native JVM hosting tests.
 * What it does is chosen through System properties, which the tests pass as
 * extra JVM options:
 *
 *   varkel.test.report  file that receives the arguments and System properties
 *   varkel.test.return  the value mainVK returns (default 0)
 *   varkel.test.throw   mainVK throws an IllegalStateException with this text,
 *                       or, when it is empty, with the arguments joined by
 *                       blanks (option strings are 8-bit; arguments are not)
 *   varkel.test.marker  a non-daemon thread writes this file after
 *   varkel.test.delay   milliseconds (default 800), once mainVK has returned
 *   varkel.test.awaitOpen  mainVK waits (at most 20 s) for this many openVK
 *                       calls before it writes its report; openVK throws
 *                       when its first argument is "throw"
 *
 * The report is one "key=value" line per item; every character outside
 * printable ASCII, and the backslash, is written as \\uXXXX (UTF-16 code
 * units), so the tests can compare each text exactly, surrogates included.
 */
public final class Varkel {
    private Varkel() {}

    private static final java.util.List<String> opened = new java.util.ArrayList<>();

    public static void openVK(String[] arguments, String workingDirectory) {
        if (arguments.length > 0 && arguments[0].equals("throw")) throw new IllegalArgumentException("asked to");
        synchronized (opened) {
            int i = opened.size();
            StringBuilder call = new StringBuilder();
            line(call, "open." + i + ".dir", workingDirectory);
            line(call, "open." + i + ".daemon", Boolean.toString(Thread.currentThread().isDaemon()));
            line(call, "open." + i + ".args", Integer.toString(arguments.length));
            for (int k = 0; k < arguments.length; ++k) line(call, "open." + i + ".arg." + k, arguments[k]);
            opened.add(call.toString());
            opened.notifyAll();
        }
    }

    public static int mainVK(String[] args) throws Exception {
        int awaited = Integer.parseInt(System.getProperty("varkel.test.awaitOpen", "0"));
        long giveUp = System.currentTimeMillis() + 20000;
        synchronized (opened) {
            while (opened.size() < awaited && System.currentTimeMillis() < giveUp) opened.wait(100);
        }
        String marker = System.getProperty("varkel.test.marker");
        Thread worker = null;
        if (marker != null) {
            long delay = Long.parseLong(System.getProperty("varkel.test.delay", "800"));
            worker = new Thread(() -> {
                try {
                    Thread.sleep(delay);
                    Files.write(Paths.get(marker), "done".getBytes(StandardCharsets.US_ASCII));
                } catch (InterruptedException | IOException e) {
                    throw new RuntimeException(e);
                }
            }, "varkel-test-worker");
            worker.setDaemon(false);
            worker.start();
        }

        String report = System.getProperty("varkel.test.report");
        if (report != null) writeReport(Paths.get(report), args, worker);

        String failure = System.getProperty("varkel.test.throw");
        if (failure != null) throw new IllegalStateException(failure.isEmpty() ? String.join(" ", args) : failure);

        return Integer.parseInt(System.getProperty("varkel.test.return", "0"));
    }

    private static void writeReport(Path file, String[] args, Thread worker) throws IOException {
        StringBuilder out = new StringBuilder();
        if (args == null) {
            out.append("args=null\n");
        } else {
            line(out, "args", Integer.toString(args.length));
            for (int i = 0; i < args.length; ++i) line(out, "arg." + i, args[i]);
        }
        if (worker != null) line(out, "worker.alive", Boolean.toString(worker.isAlive()));
        synchronized (opened) {
            line(out, "open.count", Integer.toString(opened.size()));
            for (String call : opened) out.append(call);
        }
        line(out, "maxMemory", Long.toString(Runtime.getRuntime().maxMemory()));
        Map<String, String> properties = new TreeMap<>();
        for (String name : System.getProperties().stringPropertyNames())
            properties.put(name, System.getProperty(name));
        for (Map.Entry<String, String> p : properties.entrySet()) line(out, "prop." + p.getKey(), p.getValue());
        try (Writer w = Files.newBufferedWriter(file, StandardCharsets.US_ASCII)) {
            w.write(out.toString());
        }
    }

    private static void line(StringBuilder out, String key, String value) {
        out.append(escape(key)).append('=').append(escape(value)).append('\n');
    }

    private static String escape(String text) {
        StringBuilder b = new StringBuilder();
        for (int i = 0; i < text.length(); ++i) {
            char c = text.charAt(i);
            if (c >= 0x20 && c < 0x7f && c != '\\') b.append(c);
            else b.append(String.format("\\u%04x", (int) c));
        }
        return b.toString();
    }
}
