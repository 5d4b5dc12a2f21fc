pid = spawn("true")
Process.wait(pid)
puts $?.success?
