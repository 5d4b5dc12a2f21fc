def puts(*args) = $stdout.write("[", *args, "]\n")
puts "redefined"
