package com.orvane.varkel;

/**
 * A main class whose entry method has the wrong return type: the launcher
 * looks mainVK up with its exact signature and must not find this one.
 */
public final class Varkel {
    private Varkel() {}

    public static void mainVK(String[] args) {}

    public static int main(String[] args) { return 0; }
}
