puts system("true")
puts system("exit 3")
puts $?.exitstatus
