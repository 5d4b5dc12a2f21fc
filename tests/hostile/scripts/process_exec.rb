puts "before"
Process.exec("echo", "replaced")
